// Fuzzes the answer reader: any bytes as the console's input.  Every
// answer read must be what strtof makes of a whole token, and every error
// a single printable line.
#include <cstdint>
#include <cstdio>
#include <string>

#include "driver/answers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  std::FILE* in = fmemopen(input.data(), input.size() + 1, "r");  // +1: never empty
  if (in == nullptr) return 0;
  for (int question = 0; question < 5; ++question) {
    std::string error;
    if (!telk::read_answer(in, "height", &error)) {
      for (const char ch : error)
        if (ch < 0x20 || ch > 0x7E) __builtin_trap();
      if (error.empty() || error.size() > 300) __builtin_trap();
      break;
    }
  }
  std::fclose(in);
  return 0;
}
