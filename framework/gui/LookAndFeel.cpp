#include "framework/gui/LookAndFeel.h"

#include "framework/core/DeletedAtShutdown.h"

namespace q9framework {

namespace {
// Made lazily on the main thread during the first paint; no lock (single GUI thread).
LookAndFeel* defaultInstance = nullptr;

// Takes the default down with the framework's other process-wide objects (its font goes with them).
struct DefaultLookAndFeelOwner : public DeletedAtShutdown {
    ~DefaultLookAndFeelOwner() override;
};
DefaultLookAndFeelOwner* owner = nullptr;

DefaultLookAndFeelOwner::~DefaultLookAndFeelOwner()
{
    delete defaultInstance;
    defaultInstance = nullptr;
    owner = nullptr;
}

void ensureOwner()
{
    if (owner == nullptr)
        owner = new DefaultLookAndFeelOwner();
}
} // namespace

LookAndFeel::LookAndFeel() : font(Font::getDefaultFont()) {}

LookAndFeel::~LookAndFeel() = default;

int32_t LookAndFeel::getMetric(int32_t id)
{
    static const int32_t metrics[] = {24, 20, 30, 20, 30, 20, 20};
    return id >= 0 && id < 7 ? metrics[id] : -1;
}

Font LookAndFeel::getDefaultFont()
{
    return font;
}

double LookAndFeel::getDefaultFontHeight()
{
    return font.getHeight();
}

LookAndFeel& getDefaultLookAndFeel()
{
    if (defaultInstance == nullptr) {
        defaultInstance = new LookAndFeel();
        ensureOwner();
    }
    return *defaultInstance;
}

void setDefaultLookAndFeel(LookAndFeel* instance)
{
    if (instance == defaultInstance)
        return;
    delete defaultInstance;
    defaultInstance = instance;
    if (instance != nullptr)
        ensureOwner();
}

} // namespace q9framework
