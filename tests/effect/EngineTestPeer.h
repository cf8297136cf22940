#pragma once
// The engine's inner state for the effect's tests: targets, ramped values, envelopes and coefficients
// are not part of what the effect offers, so they are read through these friends of the classes.

#include "effect/KVAudioPlugin.h"
#include "effect/KVEngine.h"

struct KVEngineTestPeer {
    const KVEngine& engine;

    bool isBypassed() const noexcept { return engine.isBypassed(); }
    float getSampleRate() const noexcept { return engine.getSampleRate(); }
    float getAttackTarget() const noexcept { return engine.getAttackTarget(); }
    float getReleaseTarget() const noexcept { return engine.getReleaseTarget(); }
    float getGainTarget() const noexcept { return engine.getGainTarget(); }
    float getDriveTarget() const noexcept { return engine.getDriveTarget(); }
    float getAttackTimeFactor() const noexcept { return engine.getAttackTimeFactor(); }
    float getReleaseTimeFactor() const noexcept { return engine.getReleaseTimeFactor(); }
    float getAttack() const noexcept { return engine.getAttack(); }
    float getRelease() const noexcept { return engine.getRelease(); }
    float getGain() const noexcept { return engine.getGain(); }
    float getDrive() const noexcept { return engine.getDrive(); }
    KVEngine::Envelopes getEnvelopes() const noexcept { return engine.getEnvelopes(); }
    KVEngine::Coefficients getCoefficients() const noexcept { return engine.getCoefficients(); }
};

struct KVAudioPluginTestPeer {
    static const KVEngine& engine(const KVAudioPlugin& plugin) noexcept { return plugin.engine; }
};

inline KVEngineTestPeer peek(const KVEngine& engine) noexcept { return {engine}; }
inline KVEngineTestPeer peek(const KVAudioPlugin& plugin) noexcept { return {KVAudioPluginTestPeer::engine(plugin)}; }
