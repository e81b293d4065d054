// Writes telk.1, the manual page, made of the same table of options as
// telk --help:
//   make_manual <version> <telk.1>
#include <cstdio>
#include <string>

#include "driver/usage.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: make_manual VERSION FILE\n", stderr);
    return 2;
  }
  const std::string page = telk::manual_page(argv[1]);
  std::FILE* file = std::fopen(argv[2], "wb");
  if (file == nullptr || std::fwrite(page.data(), 1, page.size(), file) != page.size() ||
      std::fclose(file) != 0) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
