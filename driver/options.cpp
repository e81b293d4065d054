#include "driver/options.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <optional>
#include <utility>

#include "driver/answers.h"

namespace telk {

namespace {

using Words = std::span<const std::string_view>;

// The shortest text that reads back as v: "4", "0.9".
std::string shortest(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

// One number, read as an answer is and checked by the solver's rule on
// `input`, into *value; false with why not.
bool number(std::string_view typed, GroundInput input, double* value, std::string* why) {
  const std::optional<double> read = option_number(typed, why);
  if (!read) return false;
  if (const char* not_taken = why_not_taken(input, *read)) {
    *why = as_typed(typed) + " " + not_taken;
    return false;
  }
  *value = *read;
  return true;
}

// The numbers of `words`, each by the rule of the row's input, into values.
bool numbers(const OptionRow& row, Words words, double* values, std::string* why) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (!number(words[i], *row.input, &values[i], why)) return false;
  }
  return true;
}

// The points of --water: x and y in turn, separated by commas, each a
// number by the row's rule, then the table by the solver's.
bool read_table(const OptionRow& row, Words words, GroundOptions* options, std::string* why) {
  std::vector<double> values;
  for (std::string_view rest = words[0];;) {
    const std::size_t comma = rest.find(',');
    if (!number(rest.substr(0, comma), *row.input, &values.emplace_back(), why)) return false;
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  if (values.size() % 2 != 0) {
    *why = as_typed(words[0]) + " has an x without its y";
    return false;
  }
  std::vector<double> x, y;
  for (std::size_t i = 0; i < values.size(); i += 2) {
    x.push_back(values[i]);
    y.push_back(values[i + 1]);
  }
  const int points = static_cast<int>(x.size());
  if (const char* not_taken = why_water_table_not_taken(x.data(), y.data(), points)) {
    *why = as_typed(words[0]) + " " + not_taken;
    return false;
  }
  Water& water = options->water;
  std::copy(x.begin(), x.end(), water.water_table_x);
  std::copy(y.begin(), y.end(), water.water_table_y);
  water.water_table_points = points;
  return true;
}

using enum OptionValue;
using enum OptionRuns;
using enum OptionPairing;

// The help's lines are those of `telk --help`, where they stand from the
// twelfth column on.
constexpr OptionRow kRows[] = {
    {"--ru", "R", kNumber, kCheckAndFs, kPoreRatio,
     {{kExcludes, "--water", "give one kind of water"}},
     "a pore-pressure ratio: at a slice's base, R times gamma times\n"
     "the height of soil above it (0 <= R <= 0.9)",
     [](const OptionRow& row, Words words, GroundOptions* options, std::string* why) {
       return numbers(row, words, &options->water.pore_ratio, why);
     }},
    {"--water", "X1,Y1,X2,Y2,...", kNumberList, kCheckAndFs, kWaterTable, {},
     "a water table through points (x, y) in multiples of the height,\n"
     "origin at the toe, x into the slope, y up, each within 1e6; taken\n"
     "at the ground where it is above it",
     read_table},
    {"--gamma-w", "W", kNumber, kCheckAndFs, kWaterUnitWeight,
     {{kNeeds, "--water", ""},
      {kNeeds, "--crack-water", "a unit weight of water is for a water table or a crack's water"}},
     "the unit weight of water, in the units of gamma (1 in Tn/m3,\n"
     "the default where gamma is 4 or less; 9.81 in kN/m3), from a\n"
     "quarter of gamma to gamma",
     [](const OptionRow& row, Words words, GroundOptions* options, std::string* why) {
       options->gamma_w_given = true;
       return numbers(row, words, &options->gamma_w, why);
     }},
    {"--base", "D", kNumber, kCheckAndFs, kBaseDepth, {},
     "a firm base D below the toe, in the height's units (0: at the toe)",
     [](const OptionRow& row, Words words, GroundOptions* options, std::string* why) {
       return numbers(row, words, &options->base_depth, why);
     }},
    {"--kh", "K", kNumber, kCheckAndFs, kHorizontalLoad, {},
     "an earthquake's pseudo-static load: K times each slice's weight\n"
     "horizontally out of the slope (0 <= K < 1), and V times it\n"
     "vertically, upward for V above 0 (-1 < V < 1)",
     [](const OptionRow& row, Words words, GroundOptions* options, std::string* why) {
       return numbers(row, words, &options->shaking.horizontal, why);
     }},
    {"--kv", "V", kNumber, kCheckAndFs, kVerticalLoad, {}, "",
     [](const OptionRow& row, Words words, GroundOptions* options, std::string* why) {
       return numbers(row, words, &options->shaking.vertical, why);
     }},
    {"--crack", "Z|auto", kNumberOrWord, kCheckAndFs, kCrackDepth, {},
     "a tension crack behind the crest, Z deep in the height's units\n"
     "(auto: 2c / (gamma tan(45 - phi / 2))), at most half the height:\n"
     "a slip that rises above that level ends there, and the soil\n"
     "beyond the crack is not part of the sliding mass",
     [](const OptionRow& row, Words words, GroundOptions* options, std::string* why) {
       if (words[0] == "auto") return options->crack.rankine = true;
       return numbers(row, words, &options->crack.depth, why);
     }},
    {"--crack-water", "F", kNumber, kCheckAndFs, kCrackFill,
     {{kNeeds, "--crack", "water fills a tension crack"}},
     "the crack filled to F of its depth with water (0 <= F <= 1),\n"
     "which pushes the soil out of the slope",
     [](const OptionRow& row, Words words, GroundOptions* options, std::string* why) {
       return numbers(row, words, &options->crack.fill, why);
     }},
    {"--load", "Q", kNumber, kCheckAndFs, kLoadPressure, {},
     "a uniform vertical pressure Q on the crest, in the units of c,\n"
     "from A behind the crest's edge (0 by default) over a width B\n"
     "(the whole crest by default), in the height's units",
     [](const OptionRow& row, Words words, GroundOptions* options, std::string* why) {
       return numbers(row, words, &options->load.pressure, why);
     }},
    {"--load-from", "A", kNumber, kCheckAndFs, kLoadFrom,
     {{kNeeds, "--load", "it places a load"}}, "",
     [](const OptionRow& row, Words words, GroundOptions* options, std::string* why) {
       return numbers(row, words, &options->load.from, why);
     }},
    {"--load-width", "B", kNumber, kCheckAndFs, kLoadWidth,
     {{kNeeds, "--load", "it places a load"}}, "",
     [](const OptionRow& row, Words words, GroundOptions* options, std::string* why) {
       return numbers(row, words, &options->load.width, why);
     }},
    {"--circle", "XC YC R", kThreeNumbers, kFsOnly, kCircle, {},
     "that circle's factor of safety, not the critical one's",
     [](const OptionRow& row, Words words, GroundOptions* options, std::string* why) {
       options->circle_given = true;
       return numbers(row, words, options->circle, why);
     }},
    {"--yield", "", kNothing, kFsOnly, std::nullopt,
     {{kExcludes, "--kh", "it finds the k_h itself"},
      {kExcludes, "--circle", "it finds its own circle"}},
     "the K at which the factor of safety is 1 (not with --kh)",
     [](const OptionRow&, Words, GroundOptions* options, std::string*) {
       options->yield = true;
       return true;
     }},
};

// The row of the option named `name`, or null.
constexpr const OptionRow* row_named(std::string_view name) {
  const auto row = std::find_if(std::begin(kRows), std::end(kRows),
                                [&](const OptionRow& r) { return r.name == name; });
  return row != std::end(kRows) ? row : nullptr;
}

// Each pair names an option of the table, and the one an option needs is
// taken by the same runs, so that the usage shows the two together; what
// that one needs, in turn, needs nothing (--gamma-w needs --crack-water,
// which needs --crack).
constexpr bool pairs_name_options() {
  for (const OptionRow& row : kRows) {
    for (const OptionPair& pair : row.pairs) {
      if (pair.other.empty()) continue;
      const OptionRow* other = row_named(pair.other);
      if (other == nullptr) return false;
      if (pair.pairing != kNeeds) continue;
      if (other->runs != row.runs) return false;
      const bool chained = std::any_of(
          std::begin(other->pairs), std::end(other->pairs), [](const OptionPair& next) {
            return next.pairing == kNeeds && !next.other.empty() &&
                   row_named(next.other)->paired(kNeeds);
          });
      if (chained) return false;
    }
  }
  return true;
}
static_assert(pairs_name_options());

// An option that cannot apply, with why.
OptionsRead cannot_apply(std::string_view option, std::string why, OptionError* error) {
  *error = {option, std::move(why)};
  return OptionsRead::kUsage;
}

}  // namespace

const std::span<const OptionRow> kOptionRows(kRows);

OptionsRead read_options(const std::vector<std::string_view>& args, bool one_slope,
                         GroundOptions* options, OptionError* error) {
  bool seen[std::size(kRows)] = {};
  for (std::size_t i = 0; i < args.size();) {
    const std::string_view name = args[i++];
    const OptionRow* row = row_named(name);
    if (row == nullptr) return cannot_apply("", as_typed(name) + " is no option of telk's", error);
    if (row->runs == kFsOnly && !one_slope)
      return cannot_apply(row->name, "goes with --fs only", error);
    bool& given = seen[row - kRows];
    if (given) return cannot_apply(row->name, "given twice", error);
    const std::size_t count = words_taken(row->kind);
    if (args.size() - i < count) {
      return cannot_apply(row->name,
                          count == 1 ? "has no value after it" : "needs three numbers after it",
                          error);
    }
    given = true;
    error->option = row->name;
    if (!row->read(*row, Words(args).subspan(i, count), options, &error->why))
      return OptionsRead::kBadValue;
    i += count;
  }
  for (const OptionRow& row : kRows) {
    if (!seen[&row - kRows]) continue;
    // Of the options it needs, one is enough: the line names them all and
    // ends with the last one's why.
    std::string needs;
    bool needs_met = false;
    const char* why = "";
    for (const OptionPair& pair : row.pairs) {
      if (pair.other.empty()) continue;
      const std::string other(pair.other);
      const bool with_other = seen[row_named(other) - kRows];
      if (pair.pairing == kExcludes && with_other)
        return cannot_apply(row.name, "cannot go with " + other + ": " + pair.why, error);
      if (pair.pairing == kNeeds) {
        needs += needs.empty() ? other : " or " + other;
        needs_met = needs_met || with_other;
        why = pair.why;
      }
    }
    if (!needs.empty() && !needs_met)
      return cannot_apply(row.name, "given without " + needs + ": " + why, error);
  }
  *error = {};
  return OptionsRead::kRead;
}

bool settle_water(double gamma, GroundOptions* options, OptionError* error) {
  Water& water = options->water;
  const bool in_table = water.water_table_points > 0, in_crack = options->crack.fill > 0;
  water.unit_weight = 0;
  options->crack.water_unit_weight = 0;
  if (!in_table && !in_crack) return true;
  // The line names the option the water came with.
  const std::string_view table = option_of(in_table ? kWaterTable : kCrackFill),
                         weight = option_of(kWaterUnitWeight);
  if (!options->gamma_w_given && gamma > kMostTonnesPerCubicMetre) {
    *error = {table, "a unit weight above " + shortest(kMostTonnesPerCubicMetre) +
                         " is not in Tn/m3: give " + std::string(weight) +
                         ", the unit weight of water in the same units (9.81 for kN/m3)"};
    return false;
  }
  // Tn/m3 unless given, as the dialogue asks for gamma.
  const double unit_weight = options->gamma_w_given ? options->gamma_w : 1;
  if (in_table) water.unit_weight = unit_weight;
  if (in_crack) options->crack.water_unit_weight = unit_weight;
  if (const char* why = why_water_weight_not_taken(unit_weight, gamma)) {
    *error = options->gamma_w_given
                 ? OptionError{weight, "the unit weight of water " + std::string(why)}
                 : OptionError{table, "the unit weight of water, 1 Tn/m3, " + std::string(why)};
    return false;
  }
  return true;
}

Ground with_options(Ground ground, const GroundOptions& options) {
  ground.water = options.water;
  ground.base_depth = options.base_depth;
  ground.shaking = options.shaking;
  ground.crack = options.crack;
  ground.load = options.load;
  return ground;
}

const char* option_of(GroundInput input) {
  const auto row = std::find_if(std::begin(kRows), std::end(kRows),
                                [&](const OptionRow& r) { return r.input == input; });
  return row != std::end(kRows) ? row->name.data() : nullptr;
}

CheckGround check_ground(const GroundOptions& options) {
  const Water& w = options.water;
  return {w.pore_ratio, w.water_table_points, w.water_table_x, w.water_table_y,
          w.unit_weight, options.base_depth, options.shaking.horizontal,
          options.shaking.vertical, options.crack.depth, options.crack.rankine,
          options.crack.fill, options.load.pressure, options.load.from, options.load.width};
}

}  // namespace telk
