#pragma once

#include "tools/kelvane/AudioFile.h"

#include <string>

namespace kelvane {

/** Texts drawn on a before/after plot. */
struct PlotLabels {
    std::string title;                       // top line, e.g. the input file's name
    std::string subtitle;                    // second line, e.g. the settings used
};

/** Draws `input` above `output` on a shared time axis into a PNG (cairo): per pixel column the peak
    range of all channels as a light band with the RMS inside it as a denser band, dB grid lines, the
    level statistics of each signal in its panel's corner, and the input's peak outline repeated
    faintly over the output so the change in every transient is visible directly.
    Returns false with `error` naming the file when it cannot be written or there is nothing to plot. */
[[nodiscard]] bool plotWaveforms(const std::string& pngPath, const AudioData& input, const AudioData& output,
                                 const PlotLabels& labels, std::string& error);

} // namespace kelvane
