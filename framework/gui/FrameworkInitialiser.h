#pragma once

namespace q9framework {

/** The framework's process-wide services, alive from the first plug-in instance to the last.
    Created and destroyed by the plug-in adapter (on whichever thread the host opens and closes
    instances), never by the effect itself. */
class FrameworkInitialiser {
public:
    FrameworkInitialiser();
    ~FrameworkInitialiser();
    FrameworkInitialiser(const FrameworkInitialiser&) = delete;
    FrameworkInitialiser& operator=(const FrameworkInitialiser&) = delete;
};

} // namespace q9framework
