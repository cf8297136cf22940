#pragma once

// A component bundle made on the fly for each test, around one of the test effects, opened through
// the host library as an Audio Unit host opens it:
//
//   <temp>/AUTest.component/Contents/Info.plist                   TDConfig as the test asks
//   <temp>/AUTest.component/Contents/Resources/TDParameters.txt
//   <temp>/AUTest.component/Contents/Resources/TDFactoryPresets.txt (+ the preset files)
//   <temp>/AUTest.component/Contents/Resources/Effect.vst -> the test effect's bundle (an alias)
//
// registered as 'aufx' 'TdPm' 'Velm', "Velmora Test: AU Test", version 1.2.3.
//
// The preset folders are redirected into <temp>/audio-user and <temp>/audio-local.

#include "auwrapper/TandrilComponent.h"
#include "tests/auwrapper/component/TestEffects.h"
#include "tools/au/AUHostInstance.h"

#include <memory>
#include <string>

namespace aucomponenttest {

struct BundleSpec {
    std::string effect = "Param";
    std::string config = "<key>AutoConvertPresets</key><false/><key>PresetIsFXB</key><false/>"
                         "<key>UpdateNameOnLoad</key><true/><key>CanDoMonoIO</key><true/>";
    std::string parameters = "index\tname\tmin\tmax\tkind\tunit\tdefault\n"
                             "0\tLevel\t-10\t10\t=\tdB\t0\n"
                             "1\tMode\t0\t2\tlow|mid|high\t-\t1\n"
                             "2\tSwitch\t0\t1\tb\t-\t0\n"
                             "3+\tAmount\t0\t100\t?\t%\t50\n";
    std::string factoryList = "";             // empty: no factory presets
    bool withParameters = true;
};

/** A fresh temporary folder per test, removed afterwards. */
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    const std::string& path() const { return root; }
    void write(const std::string& relativePath, const std::string& contents) const;
    std::string read(const std::string& relativePath) const;
    bool exists(const std::string& relativePath) const;

private:
    std::string root;
};

/** The entry the test instances call: the component's dispatch for the bundle being tested. */
ComponentResult testEntry(ComponentParameters* params, Handle storage);

class ComponentFixture {
public:
    explicit ComponentFixture(const BundleSpec& spec = BundleSpec());
    ~ComponentFixture();

    /** Makes the bundle and opens an instance; the open's status. */
    OSStatus open();
    kelvane::AUHostInstance& host() { return *instance; }
    q9framework::TandrilComponent& component() { return *reinterpret_cast<q9framework::TandrilComponent*>(instance->getStorage()); }
    AUTestEffectControl& effectControl() { return *testEffectControl(spec.effect); }
    const TemporaryFolder& folder() const { return temp; }
    void setHostInfo(const std::string& identifier, const std::string& version);
    /** One render of `frames` (at most 64) frames of output bus 0 into two scratch buffers, at time 0. */
    OSStatus renderStereoBlock(UInt32 frames);

    BundleSpec spec;

private:
    TemporaryFolder temp;
    std::string bundle;
    q9framework::cf::CFMutableDictionaryRef hostInfo = nullptr;
    std::unique_ptr<kelvane::AUHostInstance> instance;
};

} // namespace aucomponenttest
