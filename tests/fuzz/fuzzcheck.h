#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run when a property of the code under test fails. Unlike
// Q_ASSERT it stays on in release builds, and abort() is what both libFuzzer
// and the replay test treat as a finding.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
