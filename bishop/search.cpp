// The critical circle: a coarse search over families of slip circles, each
// given by where it leaves the ground, where it enters and how deep it
// dips, then Nelder-Mead from the best few; and the steepest angle for a
// target factor of safety by bisection on the slope angle.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "bishop/equilibrium.h"

namespace telk {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Entry points reach this far behind the crest edge, in units of the
// slope's width plus its height: well beyond the critical circles of a
// frictionless slope on its firm base, which reach the furthest.
constexpr double kCrestReach = 2;

// The least share of its deepest admissible dip a circle may have: the
// shallow circles of a cohesionless slope tend to zero depth, and at this
// share they are within 1e-5 of tan(phi) / tan(beta).
constexpr double kLeastDepth = 1e-4;

// The shortest chord of a slip circle, in units of the slope's height.
constexpr double kLeastChord = 1e-6;

// A circle as the search sees it: where it leaves (0 toe to 1 crest edge,
// along the face), where it enters (on the face below 1, else behind the
// crest edge by (entry - 1) (L + 1)), and its depth, the share of the
// deepest dip that keeps its arc above the base and its ends on its lower
// half.
using Circle = std::array<double, 3>;

struct Point {
  double x, y;
};

Point ground_point(const Section& section, double along) {
  if (along <= 1) return {along * section.crest_x, along};
  return {section.crest_x + (along - 1) * (section.crest_x + 1), 1};
}

// The arc of a circle, or false for none.  The centre lies on the chord's
// perpendicular bisector, h above its midpoint; a smaller h dips deeper.
bool arc_of(const Section& section, const Circle& circle, Arc* arc) {
  const Point p = ground_point(section, circle[0]);
  const Point q = ground_point(section, circle[1]);
  const double dx = q.x - p.x, dy = q.y - p.y;
  if (!(dx > 0 && dy > 0)) return false;  // a vertical chord, or both on the crest
  const double chord = std::hypot(dx, dy);
  // A chord of a few roundings of its ends, which a refinement reaches by
  // driving the exit onto the entry, is no circle: its slices' angles are
  // noise, and so is its factor of safety (0.62 for the 0.75 of a
  // cohesionless 53 degree slope).  No circle so small is critical: with
  // cohesion a smaller circle is a safer one, without it any shallow one
  // is as safe as the plane slip.
  if (!(chord >= kLeastChord)) return false;
  const double sin_d = dy / chord, cos_d = dx / chord, half = chord / 2;
  const double mx = (p.x + q.x) / 2, my = (p.y + q.y) / 2;
  auto admissible = [&](double h) {
    const double cx = mx - sin_d * h, cy = my + cos_d * h;
    return cx <= p.x || cy >= std::sqrt(half * half + h * h);
  };
  // Both ends on the lower half: the centre at or above the entry.
  double h_min = half * sin_d / cos_d;
  if (!admissible(h_min)) {
    // The arcs through p and q nest, so those above the base are those
    // with h at least some h_min; the arc whose centre is above p is one.
    double lo = h_min, hi = half * cos_d / sin_d;
    for (int i = 0; i < 60; ++i) {
      const double mid = (lo + hi) / 2;
      (admissible(mid) ? hi : lo) = mid;
    }
    h_min = hi;
  }
  const double angle = std::clamp(circle[2], kLeastDepth, 1.0) * std::atan(half / h_min);
  const double h = half / std::tan(angle);
  *arc = {mx - sin_d * h, my + cos_d * h, std::hypot(half, h), p.x, p.y, q.x, q.y};
  return true;
}

Circle clamped(const Circle& c) {
  const double exit = std::clamp(c[0], 0.0, 1.0);
  return {exit, std::clamp(c[1], exit, 1 + kCrestReach), std::clamp(c[2], kLeastDepth, 1.0)};
}

double fs_of(const Section& section, const Circle& circle) {
  Arc arc;
  if (!arc_of(section, clamped(circle), &arc)) return kInfinity;
  return arc_factor_of_safety(section, arc, kSlices, nullptr);
}

// Nelder-Mead over the three numbers of a circle, clamped to their ranges,
// from `start` with steps `step`, until the simplex's values agree to 1e-10
// and its corners to 1e-7, or its best value has gained less than 1e-12 of
// itself over the last 200 circles: where the factor of safety is flat along
// a valley (every shallow circle of a cohesionless slope is nearly the plane
// slip) the corners never close in.
Circle nelder_mead(const Section& section, const Circle& start, double step) {
  std::array<Circle, 4> x{start, start, start, start};
  std::array<double, 4> f{};
  for (int i = 0; i < 3; ++i) x[i + 1][i] += step;
  for (int i = 0; i < 4; ++i) f[i] = fs_of(section, x[i]);
  double last_best = kInfinity;
  for (int evaluations = 4, check = 200; evaluations < 3000;) {
    std::array<int, 4> order{0, 1, 2, 3};
    std::sort(order.begin(), order.end(), [&](int a, int b) { return f[a] < f[b]; });
    const int best = order[0], worst = order[3], second = order[2];
    if (evaluations >= check) {
      if (!(last_best - f[best] > 1e-12 * f[best])) break;
      last_best = f[best], check += 200;
    }
    double size = 0;
    for (int i = 0; i < 4; ++i) {
      for (int k = 0; k < 3; ++k) size = std::max(size, std::abs(x[i][k] - x[best][k]));
    }
    if (f[worst] - f[best] <= 1e-10 * std::abs(f[best]) && size < 1e-7) break;
    Circle centroid{};
    for (int i = 0; i < 4; ++i) {
      if (i == worst) continue;
      for (int k = 0; k < 3; ++k) centroid[k] += x[i][k] / 3;
    }
    auto toward = [&](double t) {
      Circle p;
      for (int k = 0; k < 3; ++k) p[k] = centroid[k] + t * (x[worst][k] - centroid[k]);
      return p;
    };
    const Circle reflected = toward(-1);
    const double fr = fs_of(section, reflected);
    ++evaluations;
    if (fr < f[best]) {
      const Circle expanded = toward(-2);
      const double fe = fs_of(section, expanded);
      ++evaluations;
      if (fe < fr) x[worst] = expanded, f[worst] = fe;
      else x[worst] = reflected, f[worst] = fr;
    } else if (fr < f[second]) {
      x[worst] = reflected, f[worst] = fr;
    } else {
      const Circle contracted = toward(fr < f[worst] ? -0.5 : 0.5);
      const double fc = fs_of(section, contracted);
      ++evaluations;
      if (fc < std::min(fr, f[worst])) {
        x[worst] = contracted, f[worst] = fc;
      } else {
        for (int i = 0; i < 4; ++i) {
          if (i == best) continue;
          for (int k = 0; k < 3; ++k) x[i][k] = x[best][k] + (x[i][k] - x[best][k]) / 2;
          f[i] = fs_of(section, x[i]);
          ++evaluations;
        }
      }
    }
  }
  return clamped(x[std::min_element(f.begin(), f.end()) - f.begin()]);
}

// Compass search: each number in turn a step up and down, kept when
// better; the steps halve when none is, down to 1e-8.  Sure on the ranges'
// edges, where a simplex stalls (the toe circles of a vertical cut enter at
// their centre's height, the deepest admissible).  After a round that moved
// it tries the same move again from there (Hooke and Jeeves' pattern move),
// each time twice as far, so that it follows a curved valley across the
// steps rather than crawling along it step by step: the valley of a steep,
// nearly cohesionless slope runs in depth over 0.4 while its entry moves
// by 3e-4, which took some 70 000 circles a start by steps alone.
Circle compass(const Section& section, Circle x, double step) {
  x = clamped(x);
  double f = fs_of(section, x);
  auto explore = [&](Circle y, double* fy) {
    for (int k = 0; k < 3; ++k) {
      for (const double sign : {1.0, -1.0}) {
        const Circle z = clamped([&] { Circle t = y; t[k] += sign * step; return t; }());
        const double fz = fs_of(section, z);
        if (fz < *fy) {
          y = z, *fy = fz;
          break;
        }
      }
    }
    return y;
  };
  while (step > 1e-8) {
    for (;;) {
      double fy = f;
      Circle y = explore(x, &fy);
      if (!(fy < f)) break;
      // Pattern moves: from y, the move x -> y again, further while better
      // (at most 20 doublings: the ranges are a few units wide).
      for (int doubling = 0; doubling <= 20; ++doubling) {
        const double reach = std::ldexp(1.0, doubling);
        Circle z;
        for (int k = 0; k < 3; ++k) z[k] = y[k] + reach * (y[k] - x[k]);
        z = clamped(z);
        double fz = fs_of(section, z);
        z = explore(z, &fz);
        if (!(fz < fy)) break;
        x = y, y = z, fy = fz;
      }
      x = y, f = fy;
    }
    step /= 2;
  }
  return x;
}

struct Critical {
  double fs;
  Arc arc;
  bool floored;
};

// The deepest circles centred level with the crest, entering it upright,
// by where they enter it, e: through the toe while e <= 1 (the centre at
// x = (e^2 - 1) / 2e, left of the toe), then touching the base with
// radius 1 (the centre at x = e - 1), leaving the face above the toe.
Circle crest_level_circle(const Section& section, double e) {
  const double l = section.crest_x, entry = 1 + (e - l) / (l + 1);
  if (e <= 1) return {0, entry, 1};
  const double cx = e - 1, b = l * cx + 1, a = l * l + 1;
  const double t = (b - std::sqrt(std::max(0.0, b * b - a * cx * cx))) / a;
  return {t, entry, 1};
}

// The least of those: a scan over the entry, then a golden section between
// the best point's neighbours.  Along them the factor of safety may have
// more than one minimum, and the least is often a sharp corner: at e = 1,
// the circle right above the toe.
Circle best_crest_level_circle(const Section& section) {
  const double first = section.crest_x, last = first + kCrestReach * (first + 1);
  auto fs = [&](double e) { return fs_of(section, crest_level_circle(section, e)); };
  constexpr int kScan = 96;
  const double step = (last - first) / kScan;
  int best = 0;
  double least = kInfinity;
  for (int k = 0; k <= kScan; ++k) {
    const double f = fs(first + k * step);
    if (f < least) least = f, best = k;
  }
  double a = first + std::max(best - 1, 0) * step, b = first + std::min(best + 1, kScan) * step;
  const double kGolden = (std::sqrt(5.0) - 1) / 2;
  double x1 = b - kGolden * (b - a), x2 = a + kGolden * (b - a);
  double f1 = fs(x1), f2 = fs(x2);
  for (int i = 0; i < 40; ++i) {  // to 1e-8 of the bracket
    if (f1 <= f2) {
      b = x2, x2 = x1, f2 = f1;
      x1 = b - kGolden * (b - a), f1 = fs(x1);
    } else {
      a = x1, x1 = x2, f1 = f2;
      x2 = a + kGolden * (b - a), f2 = fs(x2);
    }
  }
  return crest_level_circle(section, f1 <= f2 ? x1 : x2);
}

Critical critical_arc(const Section& section) {
  // Without cohesion ever shallower circles tend to the plane just under
  // the face, the critical slip: tan(phi) / tan(beta) exactly, which the
  // search would only approach, and not at all on the flattest and
  // steepest faces.
  if (section.cohesion == 0) {
    return {section.tan_phi * section.crest_x, {kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN}, false};
  }
  // The coarse families: exits from the toe up the face, entries from just
  // above the exit (the shallow circles of a cohesionless slope) to far
  // behind the crest, depths from a skin to the deepest dip (the toe
  // circles of a steep cut and those touching the base of a flat slope).
  // Exits just above the toe too: there a circle may touch the base inside
  // the slope, which one through the toe cannot, and be the critical one.
  constexpr double kExits[] = {0,   0.001, 0.004, 0.015, 0.04, 0.1, 0.2,
                               0.3, 0.4,   0.5,   0.6,   0.7,  0.8, 0.9};
  constexpr double kSpans[] = {0.02, 0.05, 0.1, 0.2, 0.3, 0.45, 0.6, 0.8, 1,
                               1.15, 1.3, 1.45, 1.6, 1.8, 2, 2.3, 2.6, 2.95};
  constexpr double kDepths[] = {0.01, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1};
  constexpr int ne = std::size(kExits), ns = std::size(kSpans), nd = std::size(kDepths);
  std::vector<double> fs(static_cast<std::size_t>(ne) * ns * nd);
  auto at = [&](int e, int s, int d) { return (e * ns + s) * nd + d; };
  for (int e = 0; e < ne; ++e) {
    for (int s = 0; s < ns; ++s) {
      for (int d = 0; d < nd; ++d) {
        fs[at(e, s, d)] = fs_of(section, {kExits[e], kExits[e] + kSpans[s], kDepths[d]});
      }
    }
  }
  // The grid's least six local minima start the refinement: the factor of
  // safety may have several valleys, and the least coarse value need not
  // lie in the deepest.
  struct Start {
    double fs;
    Circle circle;
  };
  std::vector<Start> starts;
  for (int e = 0; e < ne; ++e) {
    for (int s = 0; s < ns; ++s) {
      for (int d = 0; d < nd; ++d) {
        const double f = fs[at(e, s, d)];
        bool least = f < kInfinity;
        for (int de = -1; de <= 1 && least; ++de) {
          for (int ds = -1; ds <= 1 && least; ++ds) {
            for (int dd = -1; dd <= 1 && least; ++dd) {
              const int e2 = e + de, s2 = s + ds, d2 = d + dd;
              if (e2 < 0 || e2 >= ne || s2 < 0 || s2 >= ns || d2 < 0 || d2 >= nd) continue;
              least = f <= fs[at(e2, s2, d2)];
            }
          }
        }
        if (least) starts.push_back({f, {kExits[e], kExits[e] + kSpans[s], kDepths[d]}});
      }
    }
  }
  std::sort(starts.begin(), starts.end(),
            [](const Start& a, const Start& b) { return a.fs < b.fs; });
  if (starts.size() > 6) starts.resize(6);
  // Two valleys a grid this coarse may show no local minimum in.  One lies
  // on the range's edge, among the deepest circles, whose centres are level
  // with their entries, so that their arcs enter upright: there
  // c b / m_alpha, with b shrinking as cos(alpha) and m_alpha kept up by
  // sin(alpha) tan(phi) / F, leaves the last slices next to no cohesion,
  // and with friction and much cohesion the factor of safety falls
  // steeply over the last hundredths of depth, narrower than the grid (a
  // toe circle of a 70 degree slope, 1% below the nearest minimum inside).
  // The other lies just inside, beside a grid node on that edge that is
  // the grid's only local minimum.  So the best circle on the edge and the
  // best inside are refined too, and the edge's circles centred level with
  // the crest, where the least often is, are searched on their own.
  Start upright{kInfinity, {}}, inside{kInfinity, {}};
  for (int e = 0; e < ne; ++e) {
    for (int s = 0; s < ns; ++s) {
      for (int d = 0; d < nd; ++d) {
        Start& best_here = d == nd - 1 ? upright : inside;
        const double f = fs[at(e, s, d)];
        if (f < best_here.fs) best_here = {f, {kExits[e], kExits[e] + kSpans[s], kDepths[d]}};
      }
    }
  }
  if (inside.fs < kInfinity &&
      std::none_of(starts.begin(), starts.end(),
                   [&](const Start& start) { return start.circle == inside.circle; }))
    starts.push_back(inside);

  Critical best{kInfinity, {}, false};
  Circle best_circle{};
  auto keep_best = [&](const Circle& c) {
    const double f = fs_of(section, c);
    if (f < best.fs) best.fs = f, best_circle = c;
  };
  // Each start: a simplex, then a compass search that is sure on the
  // ranges' edges, then a simplex again.
  for (const Start& start : starts) {
    Circle c = nelder_mead(section, start.circle, 0.05);
    c = compass(section, c, 0.01);
    keep_best(nelder_mead(section, c, 0.01));
  }
  // The edge's best by the compass first, which follows the edge where a
  // first simplex would step inside and down into the other valley.
  if (upright.fs < kInfinity) {
    keep_best(nelder_mead(section, compass(section, upright.circle, 0.01), 0.01));
  }
  // The best centred level with the crest, then small steps about it.
  const Circle crest_level = best_crest_level_circle(section);
  keep_best(crest_level);
  keep_best(compass(section, crest_level, 0.001));
  if (!arc_of(section, best_circle, &best.arc)) return {kInfinity, {}, false};
  best.fs = arc_factor_of_safety(section, best.arc, kSlices, &best.floored);
  return best;
}

double critical_fs(const Ground& ground) { return critical_arc(section_of(ground)).fs; }

}  // namespace

Bishop critical_circle(const Ground& ground) {
  const Critical c = critical_arc(section_of(ground));
  const double h = ground.height;
  const Arc& a = c.arc;
  return {c.fs,
          {a.centre_x * h, a.centre_y * h, a.radius * h, a.entry_x * h, a.entry_y * h,
           a.exit_x * h, a.exit_y * h},
          c.floored};
}

double critical_fs_per_strength(double slope_angle, double cohesion_share) {
  Section section = section_of({45, 0, 1, 1, slope_angle});
  section.cohesion = cohesion_share;
  section.tan_phi = 1 - cohesion_share;
  return critical_arc(section).fs;
}

double steepest_angle(const Ground& ground, double target_fs) {
  Ground g = ground;
  g.slope_angle = 90;
  if (critical_fs(g) >= target_fs) return 90;
  g.slope_angle = kLeastSlopeAngle;
  if (!(critical_fs(g) >= target_fs)) return kNaN;
  // The critical factor of safety falls as the slope steepens.
  double lo = kLeastSlopeAngle, hi = 90;
  while (hi - lo > 0.001) {
    g.slope_angle = (lo + hi) / 2;
    (critical_fs(g) >= target_fs ? lo : hi) = g.slope_angle;
  }
  return lo;
}

}  // namespace telk
