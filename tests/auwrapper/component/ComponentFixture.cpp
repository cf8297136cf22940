#include "tests/auwrapper/component/ComponentFixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace aucomponenttest {

namespace {

std::string currentImagePath;

} // namespace

ComponentResult testEntry(ComponentParameters* params, Handle storage)
{
    return q9framework::TandrilComponent::dispatchEntry(params, storage, currentImagePath);
}

TemporaryFolder::TemporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "aucomponent-XXXXXX").string();
    root = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    if (!root.empty())
        std::filesystem::remove_all(root, ignored);
}

void TemporaryFolder::write(const std::string& relativePath, const std::string& contents) const
{
    const std::filesystem::path path = std::filesystem::path(root) / relativePath;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

std::string TemporaryFolder::read(const std::string& relativePath) const
{
    std::ifstream in(std::filesystem::path(root) / relativePath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool TemporaryFolder::exists(const std::string& relativePath) const
{
    return std::filesystem::exists(std::filesystem::path(root) / relativePath);
}

ComponentFixture::ComponentFixture(const BundleSpec& bundleSpec) : spec(bundleSpec)
{
    bundle = temp.path() + "/AUTest.component";
    setenv("KELVANE_AUDIO_USER_DIR", (temp.path() + "/audio-user").c_str(), 1);
    setenv("KELVANE_AUDIO_LOCAL_DIR", (temp.path() + "/audio-local").c_str(), 1);
}

ComponentFixture::~ComponentFixture()
{
    instance.reset();
    q9framework::cf::CFRelease(hostInfo);
}

void ComponentFixture::setHostInfo(const std::string& identifier, const std::string& version)
{
    using namespace q9framework::cf;
    CFRelease(hostInfo);
    hostInfo = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    CFRef<CFStringRef> id(createString(identifier)), v(createString(version));
    CFDictionarySetValue(hostInfo, CFSTR("CFBundleIdentifier"), id.get());
    CFDictionarySetValue(hostInfo, CFSTR("CFBundleShortVersionString"), v.get());
}

OSStatus ComponentFixture::renderStereoBlock(UInt32 frames)
{
    float left[64] = {}, right[64] = {};
    struct {
        UInt32 count;
        AudioBuffer buffers[2];
    } list{2, {{1, frames * 4, left}, {1, frames * 4, right}}};
    AudioTimeStamp time{};
    return instance->render(nullptr, &time, 0, std::min<UInt32>(frames, 64), reinterpret_cast<AudioBufferList*>(&list));
}

OSStatus ComponentFixture::open()
{
    temp.write("AUTest.component/Contents/Info.plist",
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
               "<key>CFBundleExecutable</key><string>AUTest</string>\n"
               "<key>TDConfig</key><dict>"
                   + spec.config + "</dict>\n</dict>\n</plist>\n");
    if (spec.withParameters)
        temp.write("AUTest.component/Contents/Resources/TDParameters.txt", spec.parameters);
    temp.write("AUTest.component/Contents/Resources/TDFactoryPresets.txt", spec.factoryList);
    std::filesystem::create_symlink(testEffectBundle(spec.effect), bundle + "/Contents/Resources/Effect.vst");
    currentImagePath = bundle + "/Contents/x86_64-linux/AUTest.so";
    const AudioComponentDescription description{fourCharCode("aufx"), fourCharCode("TdPm"), fourCharCode("Velm"), 0, 0};
    instance = std::make_unique<kelvane::AUHostInstance>(&testEntry, description, 0x00010203, "Velmora Test: AU Test",
                                                         hostInfo);
    const OSStatus status = instance->open();
    if (status == noErr && testEffectControl(spec.effect) != nullptr)
        effectControl() = AUTestEffectControl();
    return status;
}

} // namespace aucomponenttest
