#pragma once

#include "tools/au/AUHostInstance.h"
#include "tools/kelvane/AudioFile.h"
#include "tools/kelvane/edit/EditorSession.h"

#include <string>

namespace kelvane {

/** `kelvane au edit`: the opened `unit`'s editor through its Audio Unit view in a window of the host's,
    idled by the component's own timer, with `input` rendered through the unit in real time, looping.
    Editor parameter changes are printed as the Audio Unit host is notified of them. False with `error`. */
[[nodiscard]] bool editThroughAudioUnit(AUHostInstance& unit, const AudioData& input, const EditorSessionOptions& options,
                                        std::string& error);

} // namespace kelvane
