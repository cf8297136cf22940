#pragma once

// Offline rendering through an Audio Unit, as a host renders a track: the stream formats and the slice
// size are set for the file, the unit is initialised, its input is supplied by a render callback from
// the file's samples, and its output bus 0 is rendered block by block with advancing sample times.

#include "tools/au/AUHostInstance.h"
#include "tools/kelvane/AudioFile.h"

#include <string>

namespace kelvane {

/** Renders `input` (mono or stereo) through the opened `unit` into `output` (same rate and channel
    count). False with `error` naming the step and its status when the unit refuses something. Leaves
    the unit uninitialised again. Single-threaded; the unit's input callback reads `input` only. */
[[nodiscard]] bool renderThroughAudioUnit(AUHostInstance& unit, const AudioData& input, int blockSize, AudioData& output,
                                          std::string& error);

} // namespace kelvane
