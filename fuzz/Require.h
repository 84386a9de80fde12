// A broken expectation inside a fuzz target: say which one and abort, so that libFuzzer keeps
// the input that caused it as a finding.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void Require(bool holds, const char* expectation) {
    if (holds)
        return;
    std::fprintf(stderr, "fuzz target expectation broken: %s\n", expectation);
    std::abort();
}

}  // namespace fuzz
