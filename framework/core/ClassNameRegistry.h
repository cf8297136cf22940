#pragma once
#include "framework/core/String.h"

#include <cstdint>

namespace q9framework {

/** The process-wide set of native class names this module has taken. The platform object runtime that
    names window, view and factory classes on other systems refuses a second class of a taken name; this
    registry keeps that rule wherever no such runtime exists, so names made unique by a counter stay
    unique (the Audio Unit view names its classes with it). It lives in the core because the toolkit's
    windows and the Audio Unit wrapper, which links no GUI, take their names from the same set.
    Names are never given back, as classes are never disposed. Main thread only (not synchronised, like
    the runtime's class creation it stands for). */
class ClassNameRegistry {
public:
    /** Takes `name`; false when it is empty or already taken (the name stays with its first owner). */
    static bool allocate(const String& name);
    static bool isTaken(const String& name);
    /** Tries prefix + the counter in lowercase hexadecimal, incrementing the counter after every try,
        until a name can be taken; returns that name (the counter then names the next free candidate). */
    static String allocateNumbered(const String& prefix, uint64_t& counter);
    /** The prefix of every native name of this product, so that plug-ins built on the same framework
        never clash in one host process. */
    static const char* productPrefix() noexcept { return "VelmoraKelvaneAU1_Q9"; }
};

} // namespace q9framework
