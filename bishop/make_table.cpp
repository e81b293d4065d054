// Writes bishop/table.cpp, the fast path's table, from the solver:
//   make_table > bishop/table.cpp
// Every entry is printed as a hexadecimal float, which reads back exactly;
// the solver is deterministic, so the table is the same however the rows
// are shared among threads.
#include <cstdio>
#include <thread>
#include <vector>

#include "bishop/bishop.h"
#include "bishop/table.h"

int main() {
  using namespace telk;
  std::vector<double> table(kTableAngles * kTableShares);
  auto rows = [&](int first, int step) {
    for (int row = first; row < kTableAngles; row += step) {
      const double beta = row + 1;
      for (int column = 0; column < kTableShares; ++column) {
        const double u = column / double{kTableShares - 1};
        table[row * kTableShares + column] =
            critical_fs_per_strength(beta, u * u * u * u) * beta / 90;
      }
    }
  };
  // Two threads: the machines that remake it are small and shared.
  std::thread other(rows, 1, 2);
  rows(0, 2);
  other.join();

  std::printf(
      "// Made by bishop/make_table.cpp (scripts/bishop_table.sh): do not edit.\n"
      "// critical_fs_per_strength(beta, u^4) * beta / 90, beta = 1 to 90\n"
      "// degrees by rows, u = 0 to 1 in steps of 1/%d by columns.\n"
      "#include \"bishop/table.h\"\n\n"
      "namespace telk {\n\n"
      "const double kBishopTable[kTableAngles][kTableShares] = {\n",
      kTableShares - 1);
  for (int row = 0; row < kTableAngles; ++row) {
    std::printf("    {  // beta = %d\n", row + 1);
    for (int column = 0; column < kTableShares; ++column) {
      std::printf("%s%a,", column % 4 == 0 ? "        " : " ", table[row * kTableShares + column]);
      if (column % 4 == 3 || column == kTableShares - 1) std::printf("\n");
    }
    std::printf("    },\n");
  }
  std::printf("};\n\n}  // namespace telk\n");
  return 0;
}
