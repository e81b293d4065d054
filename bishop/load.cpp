#include "bishop/load.h"

#include <algorithm>

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

}  // namespace telk
