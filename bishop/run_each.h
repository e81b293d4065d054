// How the sweep's answers run a batch of independent solves: on the
// threads the program gives (every core, for the console), or one after
// another (the page, the tests).  Each solve's answer depends on its slope
// alone, so the way they run never changes a byte.
#pragma once

#include <cstddef>
#include <functional>

namespace telk {

// Runs task(i) once for each i in [0, n), and returns when all have run.
using RunEach = std::function<void(std::size_t n, const std::function<void(std::size_t)>& task)>;

// One after another, on the calling thread.
inline void run_each_in_turn(std::size_t n, const std::function<void(std::size_t)>& task) {
  for (std::size_t i = 0; i < n; ++i) task(i);
}

}  // namespace telk
