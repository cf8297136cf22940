#pragma once

#include "tools/kelvane/AudioFile.h"

namespace kelvane {

/** The built-in demo material: four bars of a stereo drum loop at 120 BPM (8 s), kick, snare,
    closed and open hats, with a small synthetic room behind them, peaking at -1 dBFS.
    Percussive material with a clear sustain, so both of the effect's amounts are audible.
    Deterministic: the same build gives the same samples on every run (own noise generator, no
    clock, no global state). Returned as 32-bit float WAV data at `sampleRate`. */
AudioData synthesiseDemoLoop(int sampleRate = 44100);

} // namespace kelvane
