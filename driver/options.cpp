#include "driver/options.h"

#include <optional>

#include "driver/answers.h"

namespace telk {

namespace {

// The line for `typed`, the value of `option`, that the solver does not
// take: "--ru: "1.5" is 1 or more: the soil would float".
std::string refused(std::string_view option, std::string_view typed, const char* why) {
  return std::string(option) + ": " + as_typed(typed) + " " + why;
}

// One number of an option, checked by the solver's rule on `input`.
std::optional<double> number(std::string_view option, std::string_view typed, GroundInput input,
                             std::string* error) {
  const std::string name(option);
  const std::optional<double> value = field_answer_double(typed, name.c_str(), error);
  if (!value) return std::nullopt;
  if (const char* why = why_not_taken(input, *value)) {
    *error = refused(option, typed, why);
    return std::nullopt;
  }
  return value;
}

// An option that cannot apply, with the line naming it and why.
OptionsRead cannot_apply(std::string_view option, const char* why, std::string* error) {
  *error = std::string(option) + ": " + why;
  return OptionsRead::kUsage;
}

// The points of --water: x and y in turn, separated by commas.
bool read_table(std::string_view typed, Water* water, std::string* error) {
  std::vector<double> values;
  std::string_view rest = typed;
  for (;;) {
    const std::size_t comma = rest.find(',');
    const std::optional<double> value =
        number("--water", rest.substr(0, comma), kWaterTable, error);
    if (!value) return false;
    values.push_back(*value);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  if (values.size() % 2 != 0) {
    *error = refused("--water", typed, "has an x without its y");
    return false;
  }
  const int points = static_cast<int>(values.size() / 2);
  if (points > kTablePoints) {
    *error = refused("--water", typed, "has more than 16 points");
    return false;
  }
  for (std::size_t i = 0; i < values.size() / 2; ++i) {
    water->table_x[i] = values[2 * i];
    water->table_y[i] = values[2 * i + 1];
  }
  water->table_points = points;
  if (const char* why = why_table_not_taken(water->table_x, water->table_y, points)) {
    *error = refused("--water", typed, why);
    return false;
  }
  return true;
}

}  // namespace

OptionsRead read_options(const std::vector<std::string_view>& args, bool one_slope,
                         GroundOptions* options, std::string* error) {
  bool seen_ru = false, seen_water = false, seen_base = false, seen_kh = false, seen_kv = false;
  for (std::size_t i = 0; i < args.size();) {
    const std::string_view option = args[i++];
    bool* const seen = option == "--ru"                     ? &seen_ru
                       : option == "--water"                ? &seen_water
                       : option == "--base"                 ? &seen_base
                       : option == "--gamma-w"              ? &options->gamma_w_given
                       : option == "--kh"                   ? &seen_kh
                       : option == "--kv"                   ? &seen_kv
                       : option == "--circle" && one_slope  ? &options->circle_given
                       : option == "--yield" && one_slope   ? &options->yield
                                                            : nullptr;
    const std::size_t count = option == "--circle" ? 3 : option == "--yield" ? 0 : 1;
    const bool fs_only = option == "--circle" || option == "--yield";
    if (seen == nullptr && !fs_only) {
      *error = as_typed(option) + " is no option of telk's";
      return OptionsRead::kUsage;
    }
    if (seen == nullptr) return cannot_apply(option, "goes with --fs only", error);
    if (*seen) return cannot_apply(option, "given twice", error);
    if (args.size() - i < count)
      return cannot_apply(option,
                          count == 1 ? "has no value after it" : "needs three numbers after it",
                          error);
    *seen = true;
    if (count == 0) continue;
    const std::string_view value = args[i];
    std::optional<double> read = 0;
    if (option == "--ru") {
      if ((read = number(option, value, kPoreRatio, error))) options->water.pore_ratio = *read;
    } else if (option == "--water") {
      if (!read_table(value, &options->water, error)) read = std::nullopt;
    } else if (option == "--gamma-w") {
      if ((read = number(option, value, kWaterUnitWeight, error))) options->gamma_w = *read;
    } else if (option == "--base") {
      if ((read = number(option, value, kBaseDepth, error))) options->base_depth = *read;
    } else if (option == "--kh") {
      if ((read = number(option, value, kHorizontalLoad, error)))
        options->shaking.horizontal = *read;
    } else if (option == "--kv") {
      if ((read = number(option, value, kVerticalLoad, error))) options->shaking.vertical = *read;
    } else {  // --circle: its centre and radius, any finite numbers
      for (std::size_t k = 0; k < count && read; ++k) {
        if ((read = number(option, args[i + k], kCircle, error))) options->circle[k] = *read;
      }
    }
    if (!read) return OptionsRead::kBadValue;
    i += count;
  }
  if (seen_ru && seen_water)
    return cannot_apply("--ru", "cannot go with --water: give one kind of water", error);
  if (options->gamma_w_given && !seen_water)
    return cannot_apply("--gamma-w",
                        "given without --water: a unit weight of water is for a water table",
                        error);
  if (options->yield && seen_kh)
    return cannot_apply("--yield", "cannot go with --kh: it finds the k_h itself", error);
  if (options->yield && options->circle_given)
    return cannot_apply("--yield", "cannot go with --circle: it finds its own circle", error);
  return OptionsRead::kRead;
}

bool settle_water(double gamma, GroundOptions* options, std::string* error) {
  Water& water = options->water;
  if (water.table_points == 0) {
    water.unit_weight = 0;
    return true;
  }
  if (!options->gamma_w_given && gamma > kMostTonnesPerCubicMetre) {
    *error = "--water: a unit weight above 4 is not in Tn/m3: give --gamma-w, the unit weight"
             " of water in the same units (9.81 for kN/m3)";
    return false;
  }
  // Tn/m3 unless given, as the dialogue asks for gamma.
  water.unit_weight = options->gamma_w_given ? options->gamma_w : 1;
  if (const char* why = why_water_weight_not_taken(water.unit_weight, gamma)) {
    *error = options->gamma_w_given ? "--gamma-w: the unit weight of water " + std::string(why)
                                    : "--water: the unit weight of water, 1 Tn/m3, " +
                                          std::string(why);
    return false;
  }
  return true;
}

Ground with_options(Ground ground, const GroundOptions& options) {
  ground.water = options.water;
  ground.base_depth = options.base_depth;
  ground.shaking = options.shaking;
  return ground;
}

const char* option_of(GroundInput input) {
  switch (input) {
    case kPoreRatio: return "--ru";
    case kWaterTable: return "--water";
    case kWaterUnitWeight: return "--gamma-w";
    case kBaseDepth: return "--base";
    case kHorizontalLoad: return "--kh";
    case kVerticalLoad: return "--kv";
    case kCircle: return "--circle";
    default: return nullptr;
  }
}

CheckGround check_ground(const GroundOptions& options) {
  const Water& w = options.water;
  return {w.pore_ratio, w.table_points, w.table_x, w.table_y, w.unit_weight, options.base_depth,
          options.shaking.horizontal, options.shaking.vertical};
}

}  // namespace telk
