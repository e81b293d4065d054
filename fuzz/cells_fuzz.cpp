// Fuzzes the cell, angle and trace writers against their plain snprintf
// version: any four bytes as a float must give the same text.
#include <cstdint>
#include <cstring>
#include <string>

#include "report/cells.h"
#include "tests/plain_cells.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size != sizeof(float)) return 0;
  float v;
  std::memcpy(&v, data, sizeof v);
  char got[3 * telk::kCellMax];
  char* end = telk::write_angle_cell(telk::write_decimal_cell(got, v), v);
  end = telk::write_trace(end, v);
  if (std::string(got, end) != plain_cells(v)) __builtin_trap();
  return 0;
}
