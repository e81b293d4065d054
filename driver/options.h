// The options that tell the check more of the ground than the chart's five
// numbers: water in it, a firm base below the toe, and for one slope a
// given slip circle.
//   --ru R                       a pore-pressure ratio
//   --water X1,Y1,X2,Y2,...      a water table, in multiples of the height
//   --gamma-w W                  the unit weight of water, in the units of gamma
//   --base D                     a firm base D below the toe
//   --kh K, --kv V               an earthquake's pseudo-static load
//   --circle XC YC R             (--fs only) that circle rather than the critical one
//   --yield                      (--fs only) the k_h at which the factor of safety is 1
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bishop/bishop.h"
#include "report/check_file.h"

namespace telk {

struct GroundOptions {
  Water water;               // its unit weight set by settle_water()
  bool gamma_w_given = false;
  double gamma_w = 0;        // as given
  double base_depth = 0;
  Shaking shaking;
  bool circle_given = false;
  double circle[3] = {};     // centre x, centre y, radius
  bool yield = false;

  bool wet() const { return water.pore_ratio > 0 || water.table_points > 0; }
  bool shaken() const { return shaking.horizontal != 0 || shaking.vertical != 0; }
  // Whether any option changes the check from dry, still ground on a base
  // at the toe.
  bool given() const { return wet() || base_depth > 0 || shaken(); }
};

enum class OptionsRead { kRead, kUsage, kBadValue };

// Reads the options in `args`, in any order.  kUsage for an option that
// cannot apply: one telk does not know, one given twice, one without its
// numbers, both kinds of water, --gamma-w without --water, --circle or
// --yield where `one_slope` is false, or --yield with --kh or --circle;
// kBadValue for a number telk cannot use.  Either with the line to show,
// naming the option and why ("--ru: given twice").
OptionsRead read_options(const std::vector<std::string_view>& args, bool one_slope,
                         GroundOptions* options, std::string* error);

// With a water table, the unit weight of water in the units of the
// ground's unit weight `gamma`: --gamma-w, or 1 where gamma can be in
// Tn/m3 (up to kMostTonnesPerCubicMetre), where water is 1.  Otherwise
// false, with the line asking for --gamma-w: a pressure ten times too small
// must never be computed silently.  False too, with the line saying why,
// where the solver does not take that water in that soil
// (why_water_weight_not_taken).
inline constexpr double kMostTonnesPerCubicMetre = 4;
bool settle_water(double gamma, GroundOptions* options, std::string* error);

// The ground with the options' water, base and load.
Ground with_options(Ground ground, const GroundOptions& options);

// The option that gives `input` (--ru, --water, --gamma-w, --base, --kh,
// --kv or --circle); null for the chart's five numbers.
const char* option_of(GroundInput input);

// The options as the check file's header shows them.
CheckGround check_ground(const GroundOptions& options);

}  // namespace telk
