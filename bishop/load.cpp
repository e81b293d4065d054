#include "bishop/load.h"

#include "bishop/critical.h"

#include <algorithm>
#include <limits>

namespace telk {

void set_load(const Ground& ground, Section* section) {
  const Load& load = ground.load;
  if (!(load.pressure > 0)) return;
  const double h = ground.height;
  section->load = load.pressure / (ground.unit_weight * h);
  section->load_from = section->crest_x + load.from / h;
  section->load_to = section->load_from + load.width / h;
}

double load_between(const Section& section, double x0, double x1) {
  if (!(section.load > 0)) return 0;
  const double from = std::max(x0, section.load_from), to = std::min(x1, section.load_to);
  return to > from ? section.load * (to - from) : 0;
}

namespace {

// Whether the load begins within the most the search ever reaches.
bool within_reach(const Section& section) {
  return section.load > 0 &&
         along_crest(section, section.load_from) - 1 <= kCrestReach * kMostReach;
}

// Where the load's circles enter up to: its far edge, or a reach unit past
// its near edge for a load on the whole crest.
double far_edge(const Section& section) {
  return std::min(section.load_to, section.load_from + reach_unit(section));
}

}  // namespace

std::vector<Start> load_starts(const Section& section) {
  std::vector<Start> starts;
  if (!within_reach(section)) return starts;
  const auto best_of = [&](auto&& circles) {
    Start best{std::numeric_limits<double>::infinity(), {}};
    circles([&](const SearchCircle& circle) {
      const double fs = fs_of(section, circle);
      if (fs < best.fs) best = {fs, circle};
    });
    if (best.fs < std::numeric_limits<double>::infinity()) starts.push_back(best);
  };
  const double far = far_edge(section);
  best_of([&](auto&& take) {
    for (const double share : {0.0, 0.01, 0.05, 0.25, 0.5, 1.0}) {
      const double x = section.load_from + share * (far - section.load_from);
      for (const double exit : {0.0, 0.3, 0.6, 0.9, 0.99, 0.999}) {
        for (const double depth : {0.25, 0.5, 0.75, 1.0}) take({exit, along_crest(section, x), depth});
      }
    }
  });
  if (section.load_from <= section.crest_x) {
    constexpr double kAcross = 1e-3;
    best_of([&](auto&& take) {
      for (const double below : {kAcross, 3 * kAcross, 10 * kAcross}) {
        for (const double behind : {kAcross / 4, kAcross, 4 * kAcross}) {
          for (const double depth : {0.3, 0.7, 1.0}) take({1 - below, 1 + behind, depth});
        }
      }
    });
  }
  return starts;
}

double load_reach(const Section& section) {
  if (!within_reach(section)) return 1;
  const double far = far_edge(section);
  // Entries up to a quarter beyond the far edge.
  const double reach = 1.25 * (along_crest(section, far) - 1) / kCrestReach;
  return reach > 1 && reach <= kMostReach ? reach : 1;
}

}  // namespace telk
