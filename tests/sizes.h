// How many cases a slow test tries.  The sanitized build (TELK_SANITIZE,
// which CMake defines for the tests of a build with the sanitizers) runs
// the solver some ten times slower, so there a slow test tries fewer: the
// same rules on fewer values, every line of it still run under the
// sanitizers; the optimised builds try them all.
#pragma once

namespace sizes {

#ifdef TELK_SANITIZE
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif

// `plain` cases in an optimised build, `sanitized` under the sanitizers.
constexpr int cases(int plain, int sanitized) { return kSanitized ? sanitized : plain; }

}  // namespace sizes
