// The rounded cohesion ratio of each row of a sweep, computed again only
// where it can change.
#pragma once

#include <cstdint>

namespace telk {

class CohesionRatios {
 public:
  // tan(phi) is taken once, here.
  CohesionRatios(float cohesion, float density, float phi_radians);

  // cohesion_ratio(h, cohesion, density, tan(phi)), for the heights of a
  // sweep in the order they come.
  float at(float h);

 private:
  float ratio(float h) const;
  float first_change_above(float h, float y) const;

  float cohesion_, density_;
  double tan_phi_;
  // Where the ratio never rises with the height (see cohesion_ratio), once
  // it has kept its value over a few rows, the height where it changes is
  // found by bisection, and rows below it need only a comparison.
  bool falls_;
  float y_ = 0.0f;        // the ratio of the last height asked for
  float from_ = 0.0f;     // y_ holds for heights in [from_, until_)
  float until_ = 0.0f;
  int unchanged_ = 0;     // rows in a row that gave y_ without a search
};

}  // namespace telk
