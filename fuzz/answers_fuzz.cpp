// Fuzzes the answer reader: any bytes as the console's input, and as one
// field of the page.  Every answer read must be what strtof makes of a
// whole token, and every error a single printable line.
#include <cstdint>
#include <cstdio>
#include <string>

#include "driver/answers.h"

static void check_line(const std::string& error) {
  for (const char ch : error)
    if (ch < 0x20 || ch > 0x7E) __builtin_trap();
  if (error.empty() || error.size() > 300) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  // The same bytes typed into one field of the page.
  std::string error;
  if (!telk::field_answer(input, "height", &error)) check_line(error);
  std::FILE* in = fmemopen(input.data(), input.size() + 1, "r");  // +1: never empty
  if (in == nullptr) return 0;
  for (int question = 0; question < 5; ++question) {
    if (!telk::read_answer(in, "height", &error)) {
      check_line(error);
      break;
    }
  }
  std::fclose(in);
  return 0;
}
