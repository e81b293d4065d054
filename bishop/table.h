// The table of the fast path, made by bishop/make_table.cpp (run
// scripts/bishop_table.sh): the critical factor of safety per unit of
// strength, critical_fs_per_strength(beta, s), times beta / 90, over
//   beta = 1, 2, ..., 90 degrees  (row beta - 1)
//   u = s^(1/4) = 0, 1/128, ..., 1  (column 128 u).
// Times beta / 90 because alone it grows as 1 / tan(beta) on a flat slope,
// which a cubic follows badly; over s^(1/4) because near s = 0 it rises as
// s^(2/3) (as s^(1/2) on a vertical cut), which is smooth in u.
#pragma once

namespace telk {

inline constexpr int kTableAngles = 90;
inline constexpr int kTableShares = 129;
extern const double kBishopTable[kTableAngles][kTableShares];

}  // namespace telk
