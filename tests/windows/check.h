#pragma once

// Plain checks for the tests that run under wine, where GoogleTest is not built: each failing
// one is printed, and the exit code counts them.

#include <cstdio>

namespace pylons::testing {

inline int failures = 0;

inline void Check(bool ok, const char* what, int line) {
    if (!ok) {
        std::printf("FAILED line %d: %s\n", line, what);
        ++failures;
    }
}

// What main returns: 0 when every check held.
inline int Result() {
    std::printf("%s: %d failed\n", failures == 0 ? "passed" : "FAILED", failures);
    return failures == 0 ? 0 : 1;
}

} // namespace pylons::testing

#define CHECK(condition) ::pylons::testing::Check((condition), #condition, __LINE__)
