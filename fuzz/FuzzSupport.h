#pragma once
// Shared by the fuzz targets: a check that stops the run with a message (libFuzzer then saves the
// input as a crash), and a VST host that answers just enough for an effect driven outside a DAW.

#include "auwrapper/vsthost/VSTPlugIn.h"
#include "tests/auwrapper/component/TestEffects.h"

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                     \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, __FILE__, __LINE__); \
            std::abort();                                                               \
        }                                                                               \
    } while (0)

namespace kelvanefuzz {

using aucomponenttest::QuietHost;   // the component tests' host: answers just enough

} // namespace kelvanefuzz
