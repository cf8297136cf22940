#pragma once

// FXP (one program) and FXB (a bank) images: the published VST 2 preset files, which the wrapper also
// stores inside Audio Unit presets. Written from and read into an open effect through its VSTPlugIn.
//
// Layouts (all words 32-bit big-endian, values IEEE single bit patterns, magics four ASCII bytes):
//   program  "CcnK" size "FxCk"|"FPCh" version id fxVersion numParams name[28]
//            then numParams values ("FxCk") or chunkSize + chunk ("FPCh")
//   bank     "CcnK" size "FxBk"|"FBCh" version id fxVersion numPrograms reserved[128]
//            then numPrograms complete "FxCk" programs ("FxBk") or chunkSize + chunk ("FBCh")
// size is the total size minus 8. The effect's effFlagsProgramChunks flag decides which form is written.

#include "auwrapper/vsthost/VSTPlugIn.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace q9framework {

/** Saves and loads preset images for one opened effect (borrowed; must outlive this object).

    Failures throw: TandrilException "VST could not create chunk for FXP" / "... FXB" when the effect
    gives no chunk; FormatException "Invalid format of FXP / FXB data" for wrong magics, versions,
    effect IDs or a size field past the data; EOFException "End of file error" when a field lies past
    the end, "Unexpected end of file in FXB data" / "Unexpected end of file in FXP / FXB data" when a
    chunk does. A failed load may leave the effect partly updated, but the effect's current program
    is restored after every bank operation and effEndSetProgram always follows effBeginSetProgram.

    Main thread (it sends program and chunk calls); never on the audio path. */
class VSTPresetCodec {
public:
    explicit VSTPresetCodec(VSTPlugIn& effectHost) noexcept : plugIn(effectHost) {}

    /** The current program as an FXP image. */
    std::vector<uint8_t> saveProgram();
    /** Every program as an FXB image; the current program is selected again afterwards. */
    std::vector<uint8_t> saveBank();
    /** Loads an FXP or FXB image. True when it matched the effect exactly (parameter forms: counts
        equal and no value outside 0..1; chunk forms: the effect accepted the chunk). */
    bool loadPresetData(const uint8_t* data, size_t length);

    static constexpr uint32_t chunkMagic = 0x43636E4B;          // "CcnK"
    static constexpr uint32_t programMagic = 0x4678436B;        // "FxCk"
    static constexpr uint32_t programChunkMagic = 0x46504368;   // "FPCh"
    static constexpr uint32_t bankMagic = 0x4678426B;           // "FxBk"
    static constexpr uint32_t bankChunkMagic = 0x46424368;      // "FBCh"
    static constexpr size_t programHeaderSize = 56;
    static constexpr size_t bankHeaderSize = 156;

private:
    VSTPlugIn& plugIn;

    const AEffect& effect() const;
    int32_t rememberedProgram();
    void appendProgramRecord(std::vector<uint8_t>& out);
    bool readProgramRecord(const uint8_t* data, size_t length, size_t& offset);
};

} // namespace q9framework
