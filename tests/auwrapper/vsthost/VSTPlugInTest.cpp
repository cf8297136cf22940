// VSTPlugIn against small test effects, each built to pass or fail one of the host's checks.

#include "auwrapper/vsthost/VSTMidiQueue.h"
#include "auwrapper/vsthost/VSTPlugIn.h"
#include "tests/auwrapper/vsthost/RecordingHost.h"
#include "tests/auwrapper/vsthost/TestEffects.h"
#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using q9framework::TandrilException;
using q9framework::VSTMidiQueue;
using q9framework::VSTPlugIn;

namespace {

std::string openFailure(const std::string& executable)
{
    RecordingHost host;
    VSTPlugIn plugIn(host, bundleFor(executable), 4096, 44100.0f);
    try {
        plugIn.open();
        plugIn.checkEffect();
    } catch (const TandrilException& e) {
        return e.what();
    }
    return "(opened)";
}

class WellFormedEffect : public ::testing::Test {
protected:
    TestEffectLibrary library{"well_formed"};
    RecordingHost host;
    std::unique_ptr<VSTPlugIn> plugIn;

    void SetUp() override { ASSERT_TRUE(library.loaded()) << testEffectExecutable("well_formed"); }

    void open()
    {
        plugIn = std::make_unique<VSTPlugIn>(host, bundleFor(testEffectExecutable("well_formed")), 4096, 44100.0f);
        plugIn->open();
    }
    int calls(VstInt32 opcode) { return library.log().calls[opcode]; }
};

} // namespace

TEST(VSTPlugInChecks, RefusesEachBrokenEffectWithItsMessage)
{
    const struct {
        const char* variant;
        const char* message;
    } cases[] = {
        {"no_entry", "Could not locate function in bundle executable (\"main_macho\" or \"VSTPluginMain\")"},
        {"null_effect", "VST main() doesn't return object AEffect*"},
        {"too_many_inputs", "VST has too many inputs"},
        {"no_replacing", "VST does not support processReplacing()"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        EXPECT_EQ(openFailure(testEffectExecutable(c.variant)), c.message);
    }
}

TEST(VSTPlugInChecks, AFailedOpenLeavesNoEffectAndNoLoadingSlot)
{
    TestEffectLibrary library("null_effect");
    RecordingHost host;
    {
        VSTPlugIn plugIn(host, bundleFor(testEffectExecutable("null_effect")), 4096, 44100.0f);
        EXPECT_THROW(plugIn.open(), TandrilException);
        EXPECT_EQ(plugIn.getEffect(), nullptr);
        EXPECT_EQ(VSTPlugIn::getLoadingPlugIn(), nullptr);
    }
    // The host callback was reachable during the entry point even though no effect came of it.
    EXPECT_EQ(library.log().versionDuringEntry, 2300);
}

TEST_F(WellFormedEffect, OpenPrefersMainMachoAndAnswersTheHostBeforeLinking)
{
    open();
    TestEffectLog& log = library.log();
    EXPECT_STREQ(log.entryUsed, "main_macho");
    EXPECT_EQ(log.versionDuringEntry, 2300);
    EXPECT_EQ(log.currentIdDuringEntry, 0) << "no effect is known while the entry point runs";
    EXPECT_EQ(log.versionWithEffectDuringEntry, 2300);
    EXPECT_EQ(VSTPlugIn::getLoadingPlugIn(), nullptr);
    ASSERT_NE(plugIn->getEffect(), nullptr);
    EXPECT_EQ(plugIn->getEffect()->resvd1, reinterpret_cast<VstIntPtr>(plugIn.get()));
    EXPECT_NO_THROW(plugIn->checkEffect());
}

TEST_F(WellFormedEffect, OpenSendsEffOpenThenTheRateAndBlockSizeStoredBefore)
{
    plugIn = std::make_unique<VSTPlugIn>(host, bundleFor(testEffectExecutable("well_formed")), 4096, 44100.0f);
    plugIn->setSampleRate(48000.0f);
    plugIn->setBlockSize(256);
    plugIn->open();
    TestEffectLog& log = library.log();
    ASSERT_GE(log.numOrdered, 3);
    EXPECT_EQ(log.order[0], effOpen);
    EXPECT_EQ(log.order[1], effSetSampleRate);
    EXPECT_EQ(log.order[2], effSetBlockSize);
    EXPECT_EQ(log.sampleRate, 48000.0f);
    EXPECT_EQ(log.blockSize, 256);
}

TEST_F(WellFormedEffect, DestructionClosesTheEditorFirstEvenAfterAFailedEditorOpen)
{
    library.log().editOpenAnswer = 0;
    open();
    try {
        plugIn->openEditor(nullptr);
        FAIL() << "expected the editor open to be refused";
    } catch (const TandrilException& e) {
        EXPECT_STREQ(e.what(), "VST could not open editor");
    }
    EXPECT_TRUE(plugIn->isEditorOpen());
    plugIn.reset();
    EXPECT_EQ(calls(effEditClose), 1);
    EXPECT_EQ(calls(effClose), 1);
    TestEffectLog& log = library.log();
    ASSERT_GE(log.numOrdered, 2);
    EXPECT_EQ(log.order[log.numOrdered - 2], effEditClose) << "the editor closes before the effect";
}

TEST_F(WellFormedEffect, TextsAreCutToTheirLimitsAndTheEditorRectIsMeasured)
{
    open();
    EXPECT_EQ(plugIn->getProgramName(), "a program name longer th");
    EXPECT_EQ(plugIn->getParameterDisplay(2), "display 2");
    int32_t width = 0, height = 0;
    ASSERT_TRUE(plugIn->getEditorRect(width, height));
    EXPECT_EQ(width, 750);
    EXPECT_EQ(height, 175);
}

TEST_F(WellFormedEffect, AcceptsMidiFollowsCanDoAndFallsBackToTheWantMidiRequest)
{
    const struct {
        VstIntPtr canDo;
        bool wantMidi;
        bool expected;
        const char* what;
    } cases[] = {
        {-1, true, false, "no, even though it asked for MIDI"},
        {0, true, true, "don't know, but it asked for MIDI during open"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        plugIn.reset();
        library.log().canDoReceiveMidi = c.canDo;
        library.log().wantMidiDuringEntry = c.wantMidi;
        open();
        EXPECT_EQ(plugIn->acceptsMidi(), c.expected);
    }
}

TEST_F(WellFormedEffect, ProcessBlockSendsPendingMidiOnceAndTheSilenceHints)
{
    open();
    VSTMidiQueue queue;
    ASSERT_TRUE(queue.add(0x90, 60, 100, 17));
    float inLeft[4] = {1, 2, 3, 4}, inRight[4] = {0, 0, 0, 0}, outLeft[4] = {}, outRight[4] = {};
    float* inputs[] = {inLeft, inRight};
    float* outputs[] = {outLeft, outRight};

    library.log().outputSilent = true;
    EXPECT_TRUE(plugIn->processBlock(queue, true, true, inputs, outputs, 4));
    TestEffectLog& log = library.log();
    EXPECT_EQ(log.lastEventCount, 1);
    EXPECT_EQ(log.lastEventBytes[0], 0x90);
    EXPECT_EQ(log.lastEventBytes[1], 60);
    EXPECT_EQ(log.lastEventBytes[2], 100);
    EXPECT_EQ(log.lastEventDelta, 17);
    EXPECT_EQ(queue.count(), 0);
    ASSERT_EQ(log.numVendorCalls, 2);
    EXPECT_EQ(log.vendorCalls[0], 2) << "sI00 before processReplacing";
    EXPECT_EQ(log.vendorCalls[1], 3) << "sO00 after it";
    EXPECT_EQ(log.lastInputSilence, 1);
    EXPECT_EQ(outLeft[3], 8.0f);

    // Nothing pending, no extension: only processReplacing, and the output is not declared silent.
    EXPECT_FALSE(plugIn->processBlock(queue, false, false, inputs, outputs, 4));
    EXPECT_EQ(calls(effProcessEvents), 1);
    EXPECT_EQ(log.numVendorCalls, 2);
    EXPECT_EQ(log.processCalls, 2);
}

TEST_F(WellFormedEffect, TheRenderPathAllocatesNothing)
{
    open();
    VSTMidiQueue queue;
    float buffer[64] = {};
    float* channels[] = {buffer, buffer};
    AllocationCounter counter;
    for (int block = 0; block < 4; ++block) {
        ASSERT_TRUE(queue.add(0x90, 64, 127, block));
        plugIn->processBlock(queue, true, false, channels, channels, 64);
        plugIn->setParameter(0, 0.5f);
        plugIn->getParameter(0);
    }
    EXPECT_EQ(counter.count(), 0u);
}

TEST_F(WellFormedEffect, AThrowingEffectReadsAsZeroAndIsNeverUnwoundThrough)
{
    open();
    library.log().throwFromDispatcher = true;
    EXPECT_EQ(plugIn->dispatch(effGetProgram), 0);
    EXPECT_EQ(plugIn->getParameter(1), 0.0f);
    EXPECT_NO_THROW(plugIn->setParameter(1, 0.5f));
    float buffer[2] = {1, 1};
    float* channels[] = {buffer, buffer};
    EXPECT_NO_THROW(plugIn->processReplacing(channels, channels, 2));
    EXPECT_EQ(plugIn->getParameterDisplay(0), "");
    library.log().throwFromDispatcher = false;
    EXPECT_FLOAT_EQ(plugIn->getParameter(1), 0.1f);
}
