#pragma once
#include "framework/gui/Font.h"

#include <cstdint>

namespace q9framework {

/** The toolkit's table of default drawing and metrics. A component that has no look and feel of its
    own uses the process-wide default instance; the painting pass takes the default font and its height
    from it before every paint. The widget drawing operations follow the metric and font operations
    below; a derived class overrides what it wants to look different. Main thread only. */
class LookAndFeel {
public:
    /** The font starts as a copy of the toolkit's default font (a null font without a font engine). */
    LookAndFeel();
    virtual ~LookAndFeel();
    LookAndFeel(const LookAndFeel&) = delete;
    LookAndFeel& operator=(const LookAndFeel&) = delete;

    /** Metrics 0..6: 24, 20, 30, 20, 30, 20, 20; any other id -1. */
    virtual int32_t getMetric(int32_t id);
    virtual Font getDefaultFont();
    /** The default font's height (0 for a null font). */
    virtual double getDefaultFontHeight();

protected:
    Font font;
};

/** The process-wide default, created on first use. */
LookAndFeel& getDefaultLookAndFeel();
/** Destroys the current default (if any) and installs `instance`, which the toolkit then owns; null
    goes back to creating a plain one on the next request. Components that have no look and feel of
    their own use the new one from their next paint on. */
void setDefaultLookAndFeel(LookAndFeel* instance);

} // namespace q9framework
