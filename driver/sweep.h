// The height sweep: one row per height step, one column group per factor
// of safety.
#pragma once

#include <cstdio>
#include <string>

namespace telk {

class ResultFile;

// The friction angle in radians, with pi as the float 3.1415927.
float radians(float degrees);

// Rows in a sweep of `height` in steps of `definition`: the exact quotient
// truncated (1 / 0.1f gives 9).  A quotient that is not finite or beyond
// the int range gives INT_MIN, and so no rows.
int row_count(float height, float definition);

// Slope angle of one column group, capped at 90; not a number when the
// chart gives no angle for (x, y).
float slope_angle(float x, float y);

// Writes every row to the file and the progress trace to the console.
bool sweep(float phi_radians, float c, float gamma, float height,
           float definition, ResultFile* file, std::FILE* console,
           std::string* error);

}  // namespace telk
