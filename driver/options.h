// The options that tell the check more of the ground than the chart's five
// numbers (water in it, a firm base below the toe, an earthquake's load)
// and, for one slope, a given slip circle or the yield coefficient.  One
// table, kOptionRows, holds each option once: its name, what it takes,
// which runs take it, how it goes with the others, its help and its
// reader.  The reading of the arguments, the usage, --help, the manual
// page (usage.h) and the page's lines about its fields are all made of it.
#pragma once

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>
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
  Crack crack;               // its water's unit weight set by settle_water()
  Load load;
  bool circle_given = false;
  double circle[3] = {};     // centre x, centre y, radius
  bool yield = false;

  bool wet() const { return telk::wet(water); }
  bool shaken() const { return shaking.horizontal != 0 || shaking.vertical != 0; }
  // Whether any option changes the check from dry, still ground on a base
  // at the toe.
  bool given() const { return wet() || base_depth > 0 || shaken() || on_crest(); }
  // Whether a tension crack or a load on the crest changes it.
  bool on_crest() const { return crack.depth > 0 || crack.rankine || load.pressure > 0; }
};

// What an option takes after its name.
enum class OptionValue {
  kNothing,       // --yield
  kNumber,        // --ru R
  kNumberList,    // --water X1,Y1,X2,Y2,...: one word, numbers between commas
  kThreeNumbers,  // --circle XC YC R
  kNumberOrWord,  // --crack Z|auto: a number, or a word the option's reader knows
};

// The words after an option's name that its value takes.
constexpr int words_taken(OptionValue value) {
  return value == OptionValue::kNothing ? 0 : value == OptionValue::kThreeNumbers ? 3 : 1;
}

// The runs that take an option: the check's (and the dialogue's, which
// --check checks) and one slope's (--fs), or one slope's only.
enum class OptionRuns { kCheckAndFs, kFsOnly };

// How an option goes with another: it is given only with it (with one of
// them, where it needs several), or never.
enum class OptionPairing { kNeeds, kExcludes };
struct OptionPair {
  OptionPairing pairing = OptionPairing::kNeeds;
  std::string_view other;  // the other option's name; "" for no pair
  const char* why = "";    // the end of the line that refuses it
};

struct OptionRow;
// Reads an option's value, the words after its name (as many as its kind
// takes), into *options: false with *why, the rest of the line after the
// option's name ("\"1.5\" is 1 or more: the soil would float").
using OptionReader = bool (*)(const OptionRow& row, std::span<const std::string_view> words,
                              GroundOptions* options, std::string* why);

struct OptionRow {
  std::string_view name;   // "--ru"
  std::string_view value;  // what it takes, as the usage names it ("R"); "" for nothing
  OptionValue kind;
  OptionRuns runs;
  // The ground's input its numbers give, whose rule they follow; none for
  // an option without numbers.
  std::optional<GroundInput> input;
  OptionPair pairs[2];
  // Its help, lines of at most 66 characters; "" where the row before's
  // tells of it too ("--kh K, --kv V").
  std::string_view help;
  OptionReader read;

  // Whether it is paired so with `other`, or with any option for "".
  constexpr bool paired(OptionPairing pairing, std::string_view other = {}) const {
    return std::any_of(std::begin(pairs), std::end(pairs), [&](const OptionPair& pair) {
      return pair.pairing == pairing && !pair.other.empty() &&
             (other.empty() || pair.other == other);
    });
  }
};

// Every option, in the order the usage and the help show them.
extern const std::span<const OptionRow> kOptionRows;

// A line about an option: the option's name ("" for a word that is no
// option) and why, the rest of the line.  The console shows it whole; the
// page shows why after the name of the field it gives that option from.
struct OptionError {
  std::string_view option;
  std::string why;
  std::string line() const { return option.empty() ? why : std::string(option) + ": " + why; }
};

enum class OptionsRead { kRead, kUsage, kBadValue };

// Reads the options in `args`, in any order.  kUsage for an option that
// cannot apply: one telk does not know, one given twice, one without its
// numbers, one that only --fs takes where `one_slope` is false, or one
// given with an option it cannot go with or without one it needs;
// kBadValue for a value telk cannot use.  Either with *error the option
// and why ("--ru: given twice").
OptionsRead read_options(const std::vector<std::string_view>& args, bool one_slope,
                         GroundOptions* options, OptionError* error);

// With a water table or water in a tension crack, the unit weight of
// water in the units of the ground's unit weight `gamma`: --gamma-w, or 1
// where gamma can be in
// Tn/m3 (up to kMostTonnesPerCubicMetre), where water is 1.  Otherwise
// false, with the line asking for --gamma-w: a pressure ten times too small
// must never be computed silently.  False too, with the line saying why,
// where the solver does not take that water in that soil
// (why_water_weight_not_taken).
inline constexpr double kMostTonnesPerCubicMetre = 4;
bool settle_water(double gamma, GroundOptions* options, OptionError* error);

// The ground with the options' water, base and load.
Ground with_options(Ground ground, const GroundOptions& options);

// The option that gives `input`; null for the chart's five numbers.
const char* option_of(GroundInput input);

// The options as the check file's header shows them.
CheckGround check_ground(const GroundOptions& options);

}  // namespace telk
