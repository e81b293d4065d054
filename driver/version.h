// The version that `telk --version` prints: the VERSION file's number and
// the commit it was built from, as the build passes it in (CMakeLists.txt),
// e.g. "1.0.0+g0123456789ab", or "1.0.0+unknown" built outside git.
#pragma once

#ifndef TELK_VERSION
#define TELK_VERSION "unknown"
#endif

namespace telk {

inline constexpr const char kVersion[] = TELK_VERSION;

}  // namespace telk
