#include "auwrapper/TandrilErrors.h"
#include "auwrapper/VSTPresetCodec.h"
#include "tests/auwrapper/component/TestEffects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace q9framework;
using aucomponenttest::OpenedTestEffect;

namespace {

using Bytes = std::vector<uint8_t>;

void put(Bytes& b, const char (&fourChars)[5])
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(fourChars[i]));
}
void put(Bytes& b, uint32_t word)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(static_cast<uint8_t>(word >> shift));
}
void putName(Bytes& b, const char* name)
{
    char field[28] = {};
    std::strncpy(field, name, 24);
    b.insert(b.end(), field, field + 28);
}
void setWord(Bytes& b, size_t offset, uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        b[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(word >> (24 - 8 * i));
}

/** An "FxCk" record for the "TdPm" test effect, built field by field. */
Bytes programRecord(const char* name, std::vector<uint32_t> valueBits, uint32_t version = 1)
{
    Bytes b;
    put(b, "CcnK");
    put(b, static_cast<uint32_t>(4 * valueBits.size() + 48));
    put(b, "FxCk");
    put(b, version);
    put(b, "TdPm");
    put(b, 0x01020304u);
    put(b, static_cast<uint32_t>(valueBits.size()));
    putName(b, name);
    for (uint32_t bits : valueBits)
        put(b, bits);
    return b;
}

constexpr uint32_t quarter = 0x3E800000, half = 0x3F000000, one = 0x3F800000;

std::string messageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

} // namespace

TEST(PresetCodecParameters, ProgramIsByteExact)
{
    OpenedTestEffect fx("Param");
    VSTPlugIn& p = *fx.plugIn;
    p.setParameter(0, 0.25f);
    p.setParameter(1, 0.5f);
    p.setParameter(2, 1.0f);
    EXPECT_EQ(VSTPresetCodec(p).saveProgram(), programRecord("Program 1", {quarter, half, one, 0}));
}

TEST(PresetCodecParameters, BankHoldsEveryProgramAndRestoresTheCurrentOne)
{
    OpenedTestEffect fx("Param");
    VSTPlugIn& p = *fx.plugIn;
    p.setProgram(1);
    p.setParameter(3, 0.5f);
    p.setProgram(2);
    Bytes expected;
    put(expected, "CcnK");
    put(expected, (4 * 4 + 56) * 3 + 156 - 8);
    put(expected, "FxBk");
    put(expected, 1u);
    put(expected, "TdPm");
    put(expected, 0x01020304u);
    put(expected, 3u);
    expected.insert(expected.end(), 128, 0);
    for (const Bytes& record : {programRecord("Program 1", {0, 0, 0, 0}), programRecord("Program 2", {0, 0, 0, half}),
                                programRecord("Program 3", {0, 0, 0, 0})})
        expected.insert(expected.end(), record.begin(), record.end());
    EXPECT_EQ(VSTPresetCodec(p).saveBank(), expected);
    EXPECT_EQ(p.getProgram(), 2);
}

TEST(PresetCodecParameters, BankRecordsFollowEachOtherWhateverTheirLength)
{
    OpenedTestEffect fx("Param");
    VSTPlugIn& p = *fx.plugIn;
    Bytes bank;
    put(bank, "CcnK");
    put(bank, 0u);
    put(bank, "FxBk");
    put(bank, 2u);
    put(bank, "TdPm");
    put(bank, 0u);
    put(bank, 5u);                                   // more programs than the effect's 3
    bank.insert(bank.end(), 128, 0);
    const Bytes records[] = {programRecord("long", {quarter, quarter, quarter, quarter, one, one}),
                             programRecord("short", {half}), programRecord("third", {one, one, one, one})};
    for (const Bytes& r : records)
        bank.insert(bank.end(), r.begin(), r.end());
    setWord(bank, 4, static_cast<uint32_t>(bank.size() - 8));
    p.setProgram(1);

    EXPECT_FALSE(VSTPresetCodec(p).loadPresetData(bank.data(), bank.size()));
    EXPECT_EQ(p.getProgram(), 1) << "the current program is selected again";
    EXPECT_EQ(fx.control->beginSetProgramCalls, 3) << "one program change per record the effect has room for";
    EXPECT_EQ(fx.control->endSetProgramCalls, 3);
    p.setProgram(0);
    EXPECT_EQ(p.getProgramName(), "long");
    EXPECT_EQ(p.getParameter(3), 0.25f);
    p.setProgram(1);
    EXPECT_EQ(p.getProgramName(), "short");
    EXPECT_EQ(p.getParameter(0), 0.5f);
    p.setProgram(2);
    EXPECT_EQ(p.getProgramName(), "third");
    EXPECT_EQ(p.getParameter(0), 1.0f);
}

TEST(PresetCodecParameters, MalformedImagesAreRefusedWithTheirMessages)
{
    OpenedTestEffect fx("Param");
    VSTPresetCodec codec(*fx.plugIn);
    Bytes otherEffect = programRecord("x", {half, half, half, half});
    otherEffect[19] = 'x';
    EXPECT_EQ(messageOf([&] { codec.loadPresetData(otherEffect.data(), otherEffect.size()); }),
              "Invalid format of FXP / FXB data");
    // A consistent header over values that end early: the values are being set when the data runs out.
    Bytes cut = programRecord("x", {half, half, half, half});
    cut.resize(cut.size() - 2);
    setWord(cut, 4, static_cast<uint32_t>(cut.size() - 8));
    EXPECT_THROW(codec.loadPresetData(cut.data(), cut.size()), EOFException);
    EXPECT_EQ(fx.control->beginSetProgramCalls, 1);
    EXPECT_EQ(fx.control->endSetProgramCalls, 1) << "every begin has its end";
}

TEST(PresetCodecChunks, ProgramAndBankAreByteExact)
{
    OpenedTestEffect fx("Chunk");
    VSTPlugIn& p = *fx.plugIn;
    p.setParameter(0, 0.5f);
    void* chunk = nullptr;
    const int32_t programSize = p.getChunk(true, &chunk);
    const Bytes programChunk(static_cast<uint8_t*>(chunk), static_cast<uint8_t*>(chunk) + programSize);

    Bytes expected;
    put(expected, "CcnK");
    put(expected, static_cast<uint32_t>(programSize + 52));
    put(expected, "FPCh");
    put(expected, 1u);
    put(expected, "TdCk");
    put(expected, 0x01020304u);
    put(expected, 4u);
    putName(expected, "Program 1");
    put(expected, static_cast<uint32_t>(programSize));
    expected.insert(expected.end(), programChunk.begin(), programChunk.end());
    EXPECT_EQ(VSTPresetCodec(p).saveProgram(), expected);

    const Bytes bank = VSTPresetCodec(p).saveBank();
    ASSERT_GT(bank.size(), 160u);
    EXPECT_EQ(std::memcmp(bank.data() + 8, "FBCh", 4), 0);
    EXPECT_EQ(bank.size(), 160u + 4 + 3 * (25 + 3 + 16)) << "chunk of the 3 programs";
    EXPECT_TRUE(std::all_of(bank.begin() + 28, bank.begin() + 156, [](uint8_t b) { return b == 0; }));
}

TEST(PresetCodecChunks, LoadPassesTheChunkAndTheName)
{
    OpenedTestEffect fx("Chunk");
    VSTPlugIn& p = *fx.plugIn;
    p.setParameter(1, 0.75f);
    p.setProgramName("Stored");
    Bytes program = VSTPresetCodec(p).saveProgram();
    const Bytes bank = VSTPresetCodec(p).saveBank();
    p.setParameter(1, 0.0f);
    p.setProgramName("Changed");

    EXPECT_TRUE(VSTPresetCodec(p).loadPresetData(program.data(), program.size()));
    EXPECT_EQ(p.getParameter(1), 0.75f);
    EXPECT_EQ(p.getProgramName(), "Stored");
    EXPECT_TRUE(VSTPresetCodec(p).loadPresetData(bank.data(), bank.size()));

    fx.control->setChunkAnswer = 0;
    EXPECT_FALSE(VSTPresetCodec(p).loadPresetData(program.data(), program.size())) << "the effect's answer counts";

    setWord(program, 56, static_cast<uint32_t>(program.size()));   // chunk size past the end
    EXPECT_EQ(messageOf([&] { VSTPresetCodec(p).loadPresetData(program.data(), program.size()); }),
              "Unexpected end of file in FXP / FXB data");
}
