// TandrilComponent's presets: the class-info dictionary (an FXP or FXB image inside an Audio Unit
// preset), the current preset, the factory presets of "TDFactoryPresets.txt", and the one-time
// conversion of FXP/FXB files in the preset folders into ".aupreset" files.

#include "auwrapper/TandrilComponent.h"

#include "auwrapper/ClassInfo.h"
#include "auwrapper/ResourceText.h"
#include "auwrapper/VSTPresetCodec.h"
#include "auwrapper/platform/FileSystem.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace q9framework {

using namespace cf;

namespace {

CFNumberRef createNumber(SInt32 value)
{
    return CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value);
}

/** A required value of the class-info dictionary, checked for its type. */
const void* requiredValue(CFDictionaryRef dictionary, const char* key, CFTypeID type)
{
    RequiredValue how = RequiredValue::found;
    const void* value = getRequiredValue(dictionary, key, type, &how);
    if (how == RequiredValue::missing)
        throw TandrilException("Missing key in dictionary");
    if (how == RequiredValue::wrongType)
        throw FormatException("Value in dictionary is not of expected type");
    return value;
}

SInt32 requiredNumber(CFDictionaryRef dictionary, const char* key)
{
    SInt32 value = 0;
    CFNumberGetValue(static_cast<CFNumberRef>(requiredValue(dictionary, key, CFNumberGetTypeID())), kCFNumberSInt32Type,
                     &value);
    return value;
}

std::string lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trimSpaces(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void writePropertyList(CFPropertyListRef list, const std::string& path)
{
    CFRef<CFDataRef> xml(CFPropertyListCreateXMLData(kCFAllocatorDefault, list));
    if (!xml)
        throw TandrilException("Could not create XML data from property list");
    throwIfError(writeWholeFile(path, CFDataGetBytePtr(xml.get()), static_cast<size_t>(CFDataGetLength(xml.get())), false));
}

} // namespace

// ---- images ----------------------------------------------------------------------------------------------------

std::vector<uint8_t> TandrilComponent::saveProgram()
{
    return VSTPresetCodec(*plugIn).saveProgram();
}

std::vector<uint8_t> TandrilComponent::saveBank()
{
    return VSTPresetCodec(*plugIn).saveBank();
}

bool TandrilComponent::loadPresetData(const uint8_t* data, size_t length)
{
    return VSTPresetCodec(*plugIn).loadPresetData(data, length);
}

// ---- class info ---------------------------------------------------------------------------------------------------

CFMutableDictionaryRef TandrilComponent::makeClassInfo(const std::string& name, const std::vector<uint8_t>& data)
{
    return createClassInfo(componentDescription(), name, data);
}

CFMutableDictionaryRef TandrilComponent::copyClassInfo()
{
    const std::vector<uint8_t> data = presetIsFXB ? saveBank() : saveProgram();
    CFRef<CFMutableDictionaryRef> dictionary(makeClassInfo(toStdString(currentPreset.presetName), data));
    const SInt32 program = std::min(plugIn->getProgram(), effect().numPrograms);
    CFRef<CFNumberRef> number(createNumber(program));
    CFDictionarySetValue(dictionary.get(), CFSTR("ProgramNumber"), number.get());
    return dictionary.release();
}

void TandrilComponent::restoreClassInfo(CFPropertyListRef classInfo)
{
    if (classInfo == nullptr || CFGetTypeID(classInfo) != CFDictionaryGetTypeID())
        throw FormatException("Invalid AUPreset format");
    const auto dictionary = static_cast<CFDictionaryRef>(classInfo);
    const AudioComponentDescription description = componentDescription();
    const std::pair<const char*, SInt32> expected[] = {
        {"version", classInfoVersion},
        {"type", static_cast<SInt32>(description.componentType)},
        {"subtype", static_cast<SInt32>(description.componentSubType)},
        {"manufacturer", static_cast<SInt32>(description.componentManufacturer)},
    };
    for (const auto& [key, value] : expected)
        if (requiredNumber(dictionary, key) != value)
            throw FormatException("Data in dictionary is not of expected value");

    SInt32 program = 0;
    if (const void* number = CFDictionaryGetValue(dictionary, CFSTR("ProgramNumber"))) {
        if (CFGetTypeID(number) != CFNumberGetTypeID())
            throw FormatException("Value in dictionary is not of expected type");
        CFNumberGetValue(static_cast<CFNumberRef>(number), kCFNumberSInt32Type, &program);
        if (program < 0 || program >= effect().numPrograms)
            program = 0;
    }
    plugIn->setProgram(program);

    const auto name = static_cast<CFStringRef>(requiredValue(dictionary, "name", CFStringGetTypeID()));
    const auto data = static_cast<CFDataRef>(requiredValue(dictionary, "vstdata", CFDataGetTypeID()));
    loadPresetData(CFDataGetBytePtr(data), static_cast<size_t>(CFDataGetLength(data)));
    if (updateNameOnLoad)
        plugIn->setProgramName(toStdString(name).substr(0, VSTPlugIn::maxProgramNameLength).c_str());

    refreshCurrentPreset();
    currentPreset.presetNumber = -1;
    notifyProperty(kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0);
    notifyProperty(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0);
}

// ---- current and factory presets ------------------------------------------------------------------------------------

bool TandrilComponent::refreshCurrentPreset()
{
    CFRef<CFStringRef> name(createString(plugIn->getProgramName()));
    if (!name)
        name.reset(CFStringCreateWithCString(kCFAllocatorDefault, plugIn->getProgramName().c_str(), kCFStringEncodingMacRoman));
    if (!name || CFEqual(name.get(), currentPreset.presetName))
        return false;
    CFRelease(currentPreset.presetName);
    currentPreset.presetName = name.release();
    currentPreset.presetNumber = -1;
    return true;
}

void TandrilComponent::setCurrentPreset(const AUPreset& preset, bool withName)
{
    if (preset.presetNumber < 0) {
        if (withName && preset.presetName != nullptr)
            plugIn->setProgramName(toStdString(preset.presetName).substr(0, VSTPlugIn::maxProgramNameLength).c_str());
        if (!refreshCurrentPreset() && currentPreset.presetNumber == -1)
            return;
        currentPreset.presetNumber = -1;
    } else {
        if (preset.presetNumber >= factoryPresetCount)
            throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
        const CFDataRef data = factoryPresetData[preset.presetNumber];
        loadPresetData(CFDataGetBytePtr(data), static_cast<size_t>(CFDataGetLength(data)));
        const AUPreset& chosen = factoryPresets[preset.presetNumber];
        CFRetain(chosen.presetName);
        CFRelease(currentPreset.presetName);
        currentPreset = chosen;
    }
    notifyProperty(kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0);
    notifyProperty(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0);
}

void TandrilComponent::loadFactoryPresets()
{
    const std::string list = readResourceText(fs::appendPathComponent(resourcesDir, "TDFactoryPresets.txt"));
    factoryPresetArray = CFArrayCreateMutable(kCFAllocatorDefault, 0, nullptr);
    for (const std::string& rawLine : splitResourceLines(list)) {
        if (factoryPresetCount == maxFactoryPresets)
            break;
        const std::string fileName = skipLeadingSpaces(rawLine);
        if (isCommentLine(fileName))
            continue;
        const std::vector<uint8_t> bytes = readFileBytes(fs::appendPathComponent(resourcesDir, fileName));
        CFRef<CFDataRef> xml(CFDataCreate(kCFAllocatorDefault, bytes.data(), static_cast<CFIndex>(bytes.size())));
        CFStringRef errorText = nullptr;
        CFRef<CFPropertyListRef> preset(CFPropertyListCreateFromXMLData(kCFAllocatorDefault, xml.get(),
                                                                         kCFPropertyListImmutable, &errorText));
        if (!preset) {
            const std::string error = toStdString(errorText);
            CFRelease(errorText);
            if (error.empty())
                throw TandrilException("Could not create property list from XML data");
            // The exception keeps the first 255 characters.
            throw TandrilException(("Could not create property list from XML data (" + error + ")").c_str());
        }
        if (CFGetTypeID(preset.get()) != CFDictionaryGetTypeID())
            throw FormatException("Invalid AUPreset format");
        const auto dictionary = static_cast<CFDictionaryRef>(preset.get());
        const auto data = static_cast<CFDataRef>(requiredValue(dictionary, "vstdata", CFDataGetTypeID()));
        const auto name = static_cast<CFStringRef>(requiredValue(dictionary, "name", CFStringGetTypeID()));

        const int i = factoryPresetCount++;
        factoryPresets[i] = AUPreset{i, static_cast<CFStringRef>(CFRetain(name))};
        factoryPresetData[i] = static_cast<CFDataRef>(CFRetain(data));
        CFArrayAppendValue(factoryPresetArray, &factoryPresets[i]);
    }
}

// ---- preset folder conversion -----------------------------------------------------------------------------------------

void TandrilComponent::convertPresetFolders()
{
    for (FolderDomain domain : {FolderDomain::user, FolderDomain::local}) {
        try {
            convertPresetFolder(domain);
        } catch (...) {
            // A domain that cannot be read or written (no permission for the local one, typically) is
            // left alone; the other domain and the open go on.
        }
    }
}

void TandrilComponent::convertPresetFolder(FolderDomain domain)
{
    std::string folder;
    throwIfError(findAudioSupportFolder(domain, false, folder));
    throwIfError(findOrCreateSubfolder(folder, "Presets", folder));
    CFRef<CFStringRef> registeredName(AudioUnitCopyComponentName(instance));
    const std::string name = toStdString(registeredName.get());
    size_t start = 0;
    while (start <= name.size()) {
        const size_t colon = std::min(name.find(':', start), name.size());
        const std::string segment = trimSpaces(name.substr(start, colon - start));
        if (!segment.empty())
            throwIfError(findOrCreateSubfolder(folder, segment, folder));
        start = colon + 1;
    }

    std::vector<std::string> files;
    throwIfError(listVisibleFiles(folder, files));
    for (const std::string& file : files) {
        const std::string extension = lowercase(fs::pathExtension(file));
        const bool isBank = extension == "fxb";
        const bool isProgram = extension == "fxp";
        if (!isBank && !(isProgram && !presetIsFXB))
            continue;
        const std::string source = fs::appendPathComponent(folder, file);
        if (isBank && !presetIsFXB) {
            // The folder is the mark that this bank was converted: an existing one means done.
            const std::string bankFolder = fs::appendPathComponent(folder, fs::lastPathComponentWithoutExtension(file));
            if (createFolder(bankFolder) != noErr)
                continue;
            const std::vector<uint8_t> bytes = readFileBytes(source);
            loadPresetData(bytes.data(), bytes.size());
            exportAllPrograms(bankFolder);
            continue;
        }
        const size_t dot = file.rfind('.');
        const std::string target = (dot == std::string::npos || dot + 1 > 247 ? file.substr(0, 246) + "." : file.substr(0, dot + 1))
                                   + "aupreset";
        // Only a file that can be made new is written: a preset converted before (or one the user made
        // under that name) is never overwritten. Once made, a failing write is an error of the domain
        // (and takes the unfinished file away again, so the next opening tries anew).
        const std::string targetPath = fs::appendPathComponent(folder, target);
        if (createFile(targetPath) != noErr)
            continue;
        try {
            const std::vector<uint8_t> bytes = readFileBytes(source);
            CFRef<CFMutableDictionaryRef> classInfo(makeClassInfo(fs::lastPathComponentWithoutExtension(file), bytes));
            writePropertyList(classInfo.get(), targetPath);
        } catch (...) {
            deleteFile(targetPath);
            throw;
        }
    }
}

void TandrilComponent::exportAllPrograms(const std::string& folder)
{
    const int32_t current = std::min(plugIn->getProgram(), effect().numPrograms);
    std::string lastName;
    try {
        for (int32_t i = 0; i < effect().numPrograms; ++i) {
            plugIn->setProgram(i);
            const std::string name = trimSpaces(plugIn->getProgramName());
            if (name.empty() || name == lastName)
                continue;
            CFRef<CFMutableDictionaryRef> classInfo(makeClassInfo(name, saveProgram()));
            std::string fileName = name + ".aupreset";
            std::replace(fileName.begin(), fileName.end(), '/', '-');   // a program name is no path
            const std::string path = fs::appendPathComponent(folder, fileName);
            deleteFile(path);   // a missing file is no error here
            writePropertyList(classInfo.get(), path);
            lastName = name;
        }
    } catch (...) {
        plugIn->setProgram(current);
        throw;
    }
    plugIn->setProgram(current);
}

} // namespace q9framework
