#pragma once

namespace q9framework {

/** The transport state handed to AudioPlugin::process with each block. The defaults are what a host
    adapter passes when the host tells it nothing (44.1 kHz, 125 BPM, 4/4, at the start). The VST 2
    adapter fills in only ppqPosition and tempo; the remaining fields are for plug-ins and hosts that
    want them. A plain value: made on the audio thread for each block, no allocation. */
struct ProcessInfo {
    double samplePosition = 0.0;
    double sampleRate = 44100.0;
    /** Position in quarter notes. */
    double ppqPosition = 0.0;
    /** Beats per minute. */
    double tempo = 125.0;
    /** Quarter-note position of the start of the current bar. */
    double barStartPosition = 0.0;
    /** Quarter-note position of the start of the loop, when the host loops. */
    double cycleStartPosition = 0.0;
    /** Length of a bar in quarter notes. */
    double barLength = 4.0;
    int timeSigNumerator = 4;
    int timeSigDenominator = 4;
    double cycleEndPosition = 0.0;
    bool isPlaying = false;
    bool isRecording = false;
    bool isLooping = false;
};

} // namespace q9framework
