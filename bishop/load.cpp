#include "bishop/load.h"

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

bool loaded_edge_start(const Section& section, Start* start) {
  if (!(section.load > 0 && section.load_from <= section.crest_x)) return false;
  constexpr double kAcross = 1e-3;
  *start = {std::numeric_limits<double>::infinity(), {}};
  for (const double below : {kAcross, 3 * kAcross, 10 * kAcross}) {
    for (const double behind : {kAcross / 4, kAcross, 4 * kAcross}) {
      for (const double depth : {0.3, 0.7, 1.0}) {
        const SearchCircle circle{1 - below, 1 + behind, depth};
        const double fs = fs_of(section, circle);
        if (fs < start->fs) *start = {fs, circle};
      }
    }
  }
  return start->fs < std::numeric_limits<double>::infinity();
}

}  // namespace telk
