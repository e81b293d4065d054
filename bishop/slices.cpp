// The slices of the soil above a slip arc: their widths, their exact
// weights, their bases' angles and the water's push on their bases.
#include "bishop/slices.h"

#include "bishop/load.h"

#include <algorithm>
#include <cmath>

namespace telk {

namespace {

double arc_y(const Arc& arc, double x) {
  const double u = x - arc.centre_x;
  return arc.centre_y - std::sqrt(std::max(0.0, arc.radius * arc.radius - u * u));
}

// Area between a chord of length `chord` of a circle of radius r and the
// arc it cuts off: r^2 (psi - sin psi) / 2, psi the chord's central angle.
// For a short chord psi - sin psi is summed as its series, without the
// cancellation of the difference.
double segment_area(double chord, double r) {
  const double psi = 2 * std::asin(std::min(1.0, chord / (2 * r)));
  const double p2 = psi * psi;
  const double excess = psi < 0.05 ? psi * p2 / 6 * (1 - p2 / 20 * (1 - p2 / 42))
                                   : psi - std::sin(psi);
  return r * r * excess / 2;
}

// The moment about the centre of a unit horizontal force on each part of
// the slice between x0 and x1, over the radius: the integral of
// (yc - y) dy dx over the soil, from the arc up to the ground (straight
// between the slice's sides, depth0 and depth1 above the arc's ends there).
// Across x the inner integral is ((yc - arc)^2 - (yc - top)^2) / 2, in
// which (yc - arc)^2 = r^2 - (x - xc)^2: a quadratic, integrated exactly
// by Simpson's rule.  Written as depth (yc - arc - depth / 2) it keeps its
// digits in the shallow slices, where the two squares nearly cancel.
// y_middle is the arc's height halfway across, which the water's pressure
// is taken at too.
double sway_moment(const Arc& arc, double x0, double y0, double depth0, double x1, double y1,
                   double depth1, double y_middle) {
  const double depth_middle = (y0 + depth0 + y1 + depth1) / 2 - y_middle;
  auto inner = [&arc](double y, double depth) { return depth * (arc.centre_y - y - depth / 2); };
  const double sum = inner(y0, depth0) + 4 * inner(y_middle, depth_middle) + inner(y1, depth1);
  return (x1 - x0) / 6 * sum / arc.radius;
}

}  // namespace

namespace {

// The slices' sides across the slip: by equal angles at the centre rather
// than equal widths (near an end where the arc turns vertical, as the toe
// circles of a steep cut do where they enter at their centre's height,
// equal widths converge slowly), and along the base by equal widths, the
// count shared by length along the slip with an eighth at least for each
// part of the arc.
std::vector<double> sides(const Arc& arc, int count) {
  std::vector<double> xs;
  xs.reserve(static_cast<std::size_t>(count) + 8);
  auto angle = [&](double x) {
    return std::asin(std::clamp((x - arc.centre_x) / arc.radius, -1.0, 1.0));
  };
  auto along_arc = [&](double from, double to, int parts) {
    const double first = angle(from), turn = angle(to) - first;
    for (int i = 1; i < parts; ++i)
      xs.push_back(arc.centre_x + arc.radius * std::sin(first + turn * i / parts));
  };
  xs.push_back(arc.exit_x);
  if (!(arc.base_from < arc.base_to)) {
    along_arc(arc.exit_x, arc.entry_x, count);
  } else {
    const double down = arc.radius * (angle(arc.base_from) - angle(arc.exit_x));
    const double up = arc.radius * (angle(arc.entry_x) - angle(arc.base_to));
    const double flat = arc.base_to - arc.base_from, length = down + flat + up;
    auto share = [&](double part) {
      return part > 0 ? std::max(count / 8, static_cast<int>(count * part / length)) : 0;
    };
    const int n_down = share(down), n_up = share(up);
    const int n_flat = std::max(1, count - n_down - n_up);
    if (n_down > 0) along_arc(arc.exit_x, arc.base_from, n_down), xs.push_back(arc.base_from);
    for (int i = 1; i < n_flat; ++i) xs.push_back(arc.base_from + flat * i / n_flat);
    if (n_up > 0) xs.push_back(arc.base_to), along_arc(arc.base_to, arc.entry_x, n_up);
  }
  xs.push_back(arc.entry_x);
  return xs;
}

}  // namespace

std::vector<Slice> slices_of(const Section& section, const Arc& arc, int count) {
  std::vector<double> xs = sides(arc, count);
  // Equal angles give rising x: the toe and the crest's edge go in among
  // them where they fall.
  // So are the ends of a load on the crest, which then covers whole slices.
  const double kinks[] = {0.0, section.crest_x, section.load_from, section.load_to};
  for (int k = 0; k < (section.load > 0 ? 4 : 2); ++k) {
    const double kink = kinks[k];
    if (kink > arc.exit_x && kink < arc.entry_x)
      xs.insert(std::upper_bound(xs.begin(), xs.end(), kink), kink);
  }

  std::vector<Slice> slices;
  slices.reserve(xs.size());
  // Along the base the slip is level at y = -D; its ends there are on the
  // circle too, and are taken at -D exactly.
  const bool composite = arc.base_from < arc.base_to;
  const double base_y = -section.base;
  auto on_base = [&](double x) { return composite && x >= arc.base_from && x <= arc.base_to; };
  // The arc's ends are on the ground: their depths are zero, not the
  // rounding of a difference, but for an exit on a vertical face, whose
  // first slice is as high as the face above the exit.
  const bool vertical_exit = section.crest_x == 0 && arc.exit_x == 0;
  const bool watered = wet(section);
  const bool shaken = section.shaking.horizontal > 0;
  // The strength along the base acts horizontally at the base, yc + D below
  // the centre: its moment over the radius.
  const double base_arm = (arc.centre_y + section.base) / arc.radius;
  double x0 = xs.front(), y0 = on_base(x0) ? base_y : arc.exit_y;
  double depth0 = vertical_exit ? 1 - y0 : on_base(x0) ? std::max(0.0, ground_y(section, x0) - y0) : 0;
  for (std::size_t i = 1; i < xs.size(); ++i) {
    const double x1 = xs[i];
    const bool last = i + 1 == xs.size();
    const double y1 = last ? arc.entry_y : on_base(x1) ? base_y : arc_y(arc, x1);
    const double depth1 = last ? arc.crack : std::max(0.0, ground_y(section, x1) - y1);
    const double width = x1 - x0;
    if (width > 0) {
      const bool level = on_base(x0) && on_base(x1);
      const double chord = std::hypot(width, y1 - y0);
      const double weight =
          width * (depth0 + depth1) / 2 + (level ? 0 : segment_area(chord, arc.radius));
      // The pore pressure at the middle of the slice's base, under its
      // mean height of soil.
      const double middle = (x0 + x1) / 2;
      const double y_middle = level ? base_y : watered || shaken ? arc_y(arc, middle) : 0;
      const double uplift =
          watered ? width * pore_pressure(section, middle, y_middle, weight / width) : 0;
      const double sway = shaken ? sway_moment(arc, x0, y0, depth0, x1, y1, depth1, y_middle) : 0;
      if (level) {
        slices.push_back({width, weight, 0, 1, uplift, sway, base_arm});
      } else {
        slices.push_back({width, weight, (y1 - y0) / chord, width / chord, uplift, sway});
      }
      slices.back().load = load_between(section, x0, x1);
    }
    x0 = x1, y0 = y1, depth0 = depth1;
  }
  return slices;
}

}  // namespace telk
