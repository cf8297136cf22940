// `kelvane au wrap`: publishes a Linux VST 2.4 plug-in as an Audio Unit. The plug-in is loaded once,
// as a VST host loads it, to learn its names, channels and parameters; then a bundle is written whose
// executable is ours (the component entry) and whose one ".vst" resource is a link to the plug-in:
//
//   NAME.vst/Contents/Info.plist                  TDConfig and the AudioComponents entry
//   NAME.vst/Contents/x86_64-linux/NAME.so        a copy of our executable
//   NAME.vst/Contents/Resources/TDParameters.txt  every parameter, 0 to 1, with its name and label
//   NAME.vst/Contents/Resources/TDFactoryPresets.txt   empty
//   NAME.vst/Contents/Resources/PLUGIN.vst        -> the plug-in (its absolute path)
//
// The bundle is made in a scratch folder beside the target and renamed into place only when complete,
// and it is opened as an Audio Unit before that, so a bundle that exists is one that opens.

#include "tools/au/programs/AUWrap.h"

#include "auwrapper/ParameterFile.h"
#include "auwrapper/platform/Bundle.h"
#include "auwrapper/vsthost/VSTPlugIn.h"
#include "tools/au/AUBundleComponent.h"
#include "tools/kelvane/CommandLine.h"
#include "tools/kelvane/CommandLineHost.h"
#include "tools/kelvane/PluginLocator.h"
#include "tools/kelvane/SubCommand.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#ifndef KELVANE_BUILT_BUNDLE
#define KELVANE_BUILT_BUNDLE ""
#endif

namespace kelvane {

namespace {

namespace stdfs = std::filesystem;
using namespace q9framework::cf;

// The wrapper reads at most this many parameters from its map; more would make it refuse to open.

const std::vector<OptionSpec>& wrapOptions()
{
    static const std::vector<OptionSpec> options = {
        {"-o", "NAME.vst", "the bundle to write (default: the plug-in's file name with .vst, here)"},
        {"--subtype", "XXXX", "four-character subtype (default: the plug-in's unique ID)"},
        {"--manufacturer", "XXXX", "four-character maker code (default: from the plug-in's vendor)"},
        {"--name", "\"Maker: Product\"", "the name hosts list (default: the plug-in's vendor and name)"},
        {"--force", "", "replace NAME.vst when it is a bundle this command wrote before"},
        {"--help", "", "show this help"},
    };
    return options;
}

int wrapFailure(const std::string& message)
{
    std::fprintf(stderr, "kelvane au wrap: %s\n", message.c_str());
    return exitFailure;
}

int wrapUsage(const std::string& message)
{
    std::fprintf(stderr, "kelvane au wrap: %s (see kelvane au wrap --help)\n", message.c_str());
    return exitUsage;
}

bool isValidUtf8(const std::string& text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2)
                return false;
        i += length;
    }
    return true;
}

/** A text from the plug-in made fit for a name: UTF-8 (an older plug-in's Latin-1 is converted), no
    tabs or line breaks (they would split the parameter map's columns), no spaces at either end. */
std::string cleanText(const std::string& raw)
{
    std::string text;
    if (isValidUtf8(raw)) {
        text = raw;
    } else {
        for (const char c : raw) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80) {
                text += c;
            } else {
                text += static_cast<char>(0xC0 | (byte >> 6));
                text += static_cast<char>(0x80 | (byte & 0x3F));
            }
        }
    }
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool isFourCharacterCode(const std::string& code)
{
    if (code.size() != 4)
        return false;
    for (const char c : code)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

/** The unique ID as four characters when they are all printable (as most plug-ins choose them); else
    four letters and digits made from the ID and the effect's name, the same on every run. */
std::string defaultSubtype(VstInt32 uniqueId, const std::string& effectName)
{
    const auto id = static_cast<uint32_t>(uniqueId);
    std::string code;
    for (int shift = 24; shift >= 0; shift -= 8)
        code += static_cast<char>((id >> shift) & 0xFF);
    if (isFourCharacterCode(code) && code != "    ")
        return code;
    uint32_t hash = 2166136261u ^ id;   // FNV-1a over the name, seeded with the ID
    for (const char c : effectName)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    code.clear();
    for (int i = 0; i < 4; ++i, hash /= 36)
        code += alphabet[hash % 36];
    return code;
}

/** The maker's first four letters or digits, capitalised ("Calf Studio Gear" -> "Calf"), padded with
    'x'. Codes of lower-case letters only are the platform maker's, so the first is upper case. */
std::string defaultManufacturer(const std::string& vendor)
{
    std::string code;
    for (const char c : vendor) {
        const auto byte = static_cast<unsigned char>(c);
        if (code.size() < 4 && byte < 0x80 && std::isalnum(byte))
            code += static_cast<char>(code.empty() ? std::toupper(byte) : std::tolower(byte));
    }
    if (code.empty())
        code = "Vstw";
    while (code.size() < 4)
        code += 'x';
    return code;
}

std::string formatNumber(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

/** The parameter map: every parameter (up to the wrapper's limit) from 0 to 1 as the plug-in sees it,
    named and labelled as the plug-in names it, its current value as the default. */
std::string parameterMap(q9framework::VSTPlugIn& plugIn, const std::string& pluginPath, int& published)
{
    std::string map = "index\tname\tmin\tmax\tkind\tunit\tdefault\n";
    map += "; made by kelvane au wrap from " + cleanText(pluginPath) + "\n";
    const int count = std::min(plugIn.getEffect()->numParams, q9framework::maxMappedParameters);
    for (int i = 0; i < count; ++i) {
        std::string name = cleanText(plugIn.dispatchForText(effGetParamName, i, 255));
        if (name.empty())
            name = "Parameter " + std::to_string(i + 1);
        std::string label = cleanText(plugIn.dispatchForText(effGetParamLabel, i, 255));
        if (label.empty())
            label = "-";
        const float value = std::min(std::max(plugIn.getParameter(i), 0.0f), 1.0f);
        map += std::to_string(i) + "\t" + name + "\t0\t1\t=\t" + label + "\t" + formatNumber(value) + "\n";
    }
    published = count;
    return map;
}

void setText(CFMutableDictionaryRef dictionary, const char* key, const std::string& text)
{
    CFRef<CFStringRef> value(createStringUTF8OrMacRoman(text));
    CFDictionarySetValue(dictionary, constantString(key), value ? value.get() : CFSTR(""));
}

struct WrapSettings {
    std::string executableName;    // of our executable inside the bundle, without ".so"
    std::string type, subtype, manufacturer, name, description, identifier, versionText;
    SInt64 version = 0;
    bool stereo = false;
};

CFMutableDictionaryRef createInfoDictionary(const WrapSettings& s)
{
    auto* info = CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                           &kCFTypeDictionaryValueCallBacks);
    setText(info, "CFBundleDevelopmentRegion", "English");
    setText(info, "CFBundleExecutable", s.executableName);
    setText(info, "CFBundleIdentifier", s.identifier);
    setText(info, "CFBundleInfoDictionaryVersion", "6.0");
    setText(info, "CFBundleName", s.executableName);
    setText(info, "CFBundlePackageType", "BNDL");
    setText(info, "CFBundleShortVersionString", s.versionText);
    setText(info, "CFBundleVersion", s.versionText);

    // Converting the user's FXP/FXB files is what a wrapped plug-in's users come for; programs, not
    // banks, are what hosts save; a stereo plug-in may also serve mono tracks.
    CFRef<CFMutableDictionaryRef> config(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                                   &kCFTypeDictionaryValueCallBacks));
    CFDictionarySetValue(config.get(), CFSTR("AutoConvertPresets"), kCFBooleanTrue);
    CFDictionarySetValue(config.get(), CFSTR("PresetIsFXB"), kCFBooleanFalse);
    CFDictionarySetValue(config.get(), CFSTR("UpdateNameOnLoad"), kCFBooleanTrue);
    CFDictionarySetValue(config.get(), CFSTR("CanDoMonoIO"), s.stereo ? kCFBooleanTrue : kCFBooleanFalse);
    CFDictionarySetValue(info, CFSTR("TDConfig"), config.get());

    CFRef<CFMutableDictionaryRef> component(CFDictionaryCreateMutable(
        kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    setText(component.get(), "type", s.type);
    setText(component.get(), "subtype", s.subtype);
    setText(component.get(), "manufacturer", s.manufacturer);
    setText(component.get(), "name", s.name);
    setText(component.get(), "description", s.description);
    CFRef<CFNumberRef> version(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &s.version));
    CFDictionarySetValue(component.get(), CFSTR("version"), version.get());
    setText(component.get(), "factoryFunction", "TandrilEntry");
    CFRef<CFMutableArrayRef> components(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
    CFArrayAppendValue(components.get(), component.get());
    CFDictionarySetValue(info, CFSTR("AudioComponents"), components.get());
    return info;
}

bool writeText(const stdfs::path& path, const std::string& text, std::string& error)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        error = "cannot write '" + path.string() + "'";
        return false;
    }
    return true;
}

/** A bundle this command wrote: Info.plist with both TDConfig and AudioComponents. Only such a folder
    is replaced with --force; anything else there is the user's and stays. */
bool isWrapperBundle(const stdfs::path& path)
{
    q9framework::Bundle bundle = q9framework::Bundle::fromPath(path.string());
    CFDictionaryRef info = bundle.getInfoDictionary();
    return info != nullptr && CFDictionaryGetValue(info, CFSTR("TDConfig")) != nullptr
           && CFDictionaryGetValue(info, CFSTR("AudioComponents")) != nullptr;
}

/** Opens the finished bundle as a host would; empty when it opens, else what went wrong. */
std::string checkOpens(const std::string& bundlePath)
{
    AUBundleComponent component;
    std::string error;
    if (!component.load(bundlePath, error))
        return error;
    std::unique_ptr<AUHostInstance> unit = component.createInstance();
    const OSStatus status = unit->open();
    if (status != noErr)
        return "the Audio Unit does not open (status " + std::to_string(status) + ")";
    unit->close();
    return {};
}

/** Removes a scratch folder on every way out unless released. */
struct ScratchFolder {
    stdfs::path path;
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!path.empty())
            stdfs::remove_all(path, ignored);
    }
};

} // namespace

void printAUWrapHelp()
{
    std::printf("usage: kelvane au wrap PLUGIN.so [-o NAME.vst] [--subtype XXXX] [--manufacturer XXXX]\n"
                "                         [--name \"Maker: Product\"] [--force]\n\n"
                "Publishes a Linux VST 2.4 plug-in (a .so, or a bundle folder) as an Audio Unit: writes a bundle\n"
                "with this project's Audio Unit executable, the plug-in's parameters and a link to the plug-in,\n"
                "which must stay where it is. Try the result with  kelvane au info --plugin NAME.vst\n\n%s",
                describeOptions(wrapOptions()).c_str());
}

int runAUWrap(const std::vector<std::string>& args)
{
    CommandLine line;
    std::string error;
    if (!line.parse(args, wrapOptions(), error))
        return wrapUsage(error);
    if (line.has("--help")) {
        printAUWrapHelp();
        return exitSuccess;
    }
    if (line.positional().size() != 1)
        return wrapUsage(line.positional().empty() ? "which plug-in? give the path of its .so"
                                                   : "unexpected argument '" + line.positional()[1] + "'");
    for (const char* option : {"--subtype", "--manufacturer"})
        if (line.has(option) && !isFourCharacterCode(line.value(option)))
            return wrapUsage(std::string("option '") + option + "' expects four printable ASCII characters, got '"
                             + line.value(option) + "'");
    if (line.has("--name") && cleanText(line.value("--name")).empty())
        return wrapUsage("option '--name' expects a name such as \"Maker: Product\"");

    // The plug-in, loaded once as a VST host loads it.
    const std::string given = line.positional()[0];
    std::error_code ec;
    const stdfs::path pluginPath = stdfs::canonical(given, ec);
    if (ec)
        return wrapFailure("plug-in '" + given + "' does not exist");
    const bool isFolder = stdfs::is_directory(pluginPath, ec);
    if (!isFolder && !stdfs::is_regular_file(pluginPath, ec))
        return wrapFailure("plug-in '" + given + "' is neither a .so file nor a bundle folder");
    CommandLineHost host;
    WrapSettings settings;
    std::string map;
    int published = 0;
    int numParams = 0;
    {
        const q9framework::Bundle bundle = isFolder ? q9framework::Bundle::fromPath(pluginPath.string())
                                                    : q9framework::Bundle::forLoneExecutable(pluginPath.string());
        q9framework::VSTPlugIn plugIn(host, bundle, 4096, 44100.0f);
        try {
            plugIn.open();
            plugIn.checkEffect();
        } catch (const std::exception& e) {
            std::string reason = e.what();
            if (!bundle.getLoadError().empty())
                reason += " (" + bundle.getLoadError() + ")";
            return wrapFailure("cannot wrap '" + given + "': " + reason);
        }
        const AEffect& effect = *plugIn.getEffect();
        const std::string stem = pluginPath.stem().string();
        std::string product = cleanText(plugIn.dispatchForText(effGetEffectName, 0, 255));
        if (product.empty())
            product = cleanText(plugIn.dispatchForText(effGetProductString, 0, 255));
        if (product.empty())
            product = cleanText(stem);
        const std::string vendor = cleanText(plugIn.dispatchForText(effGetVendorString, 0, 255));

        settings.type = (effect.flags & effFlagsIsSynth) != 0 ? "aumu" : "aufx";
        settings.subtype = line.has("--subtype") ? line.value("--subtype") : defaultSubtype(effect.uniqueID, product);
        settings.manufacturer = line.has("--manufacturer") ? line.value("--manufacturer") : defaultManufacturer(vendor);
        settings.name = line.has("--name") ? cleanText(line.value("--name"))
                                           : (vendor.empty() ? product : vendor + ": " + product);
        settings.description = "VST 2.4 plug-in " + pluginPath.filename().string() + " as an Audio Unit";
        settings.stereo = effect.numInputs == 2 && effect.numOutputs == 2;
        const VstIntPtr vendorVersion = plugIn.dispatch(effGetVendorVersion);
        settings.version = static_cast<SInt64>(static_cast<uint32_t>(vendorVersion != 0 ? vendorVersion : effect.version));
        settings.versionText = std::to_string((settings.version >> 24) & 0xFF) + "." + std::to_string((settings.version >> 16) & 0xFF)
                               + "." + std::to_string((settings.version >> 8) & 0xFF);
        numParams = effect.numParams;
        map = parameterMap(plugIn, pluginPath.string(), published);
    }   // the plug-in is closed and unloaded here, before the bundle is tried

    // Our executable: the component entry lives in the plug-in module this program was built with.
    PluginLocation ours;
    const char* home = std::getenv("HOME");
    if (!locateDefaultPlugin(KELVANE_BUILT_BUNDLE, home != nullptr ? home : "", ours, error))
        return wrapFailure("cannot find the Audio Unit executable to wrap with: " + error);

    const stdfs::path target = stdfs::absolute(line.has("-o") ? stdfs::path(line.value("-o"))
                                                              : stdfs::path(pluginPath.stem().string() + ".vst"));
    if (target.filename().empty() || target.stem().empty())
        return wrapUsage("'-o " + line.value("-o") + "' names no bundle");
    const bool exists = stdfs::exists(stdfs::symlink_status(target, ec));
    if (exists && !line.has("--force"))
        return wrapFailure("'" + target.string() + "' exists already; remove it, choose another -o, or give --force to replace it");
    if (exists && !isWrapperBundle(target))
        return wrapFailure("'" + target.string() + "' exists and is not a bundle made by kelvane au wrap; it is left alone");
    if (!stdfs::is_directory(target.parent_path(), ec))
        return wrapFailure("cannot write '" + target.string() + "': its folder does not exist");

    settings.executableName = target.stem().string();
    std::string identifierPart;
    for (const char c : settings.subtype + "." + settings.manufacturer)
        identifierPart += std::isalnum(static_cast<unsigned char>(c)) || c == '.' ? c : '-';
    settings.identifier = "com.velmora-audio.tandril.wrapped." + identifierPart;

    // Everything goes into a scratch folder beside the target, then into place in one rename.
    ScratchFolder scratch;
    std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".partial-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
        return wrapFailure("cannot write in '" + target.parent_path().string() + "': " + std::strerror(errno));
    scratch.path = pattern;
    stdfs::permissions(scratch.path, stdfs::perms::owner_all | stdfs::perms::group_read | stdfs::perms::group_exec
                                         | stdfs::perms::others_read | stdfs::perms::others_exec, ec);
    const stdfs::path contents = scratch.path / "Contents";
    const stdfs::path resources = contents / "Resources";
    const stdfs::path executables = contents / "x86_64-linux";
    stdfs::create_directories(resources, ec);
    if (!ec)
        stdfs::create_directories(executables, ec);
    if (!ec)
        stdfs::copy_file(ours.executablePath, executables / (settings.executableName + ".so"), ec);
    if (!ec)
        stdfs::create_symlink(pluginPath, resources / (pluginPath.stem().string() + ".vst"), ec);
    if (ec)
        return wrapFailure("cannot make the bundle in '" + scratch.path.string() + "': " + ec.message());
    CFRef<CFMutableDictionaryRef> info(createInfoDictionary(settings));
    if (!writePropertyListToFile(info.get(), (contents / "Info.plist").string()))
        return wrapFailure("cannot write '" + (contents / "Info.plist").string() + "'");
    if (!writeText(resources / "TDParameters.txt", map, error) || !writeText(resources / "TDFactoryPresets.txt", "", error))
        return wrapFailure(error);

    // Opened where it will live (its path is part of how it finds itself), so only after the rename;
    // a bundle that does not open is taken away again.
    stdfs::path replaced;
    if (exists) {
        replaced = scratch.path.string() + "-replaced";
        stdfs::rename(target, replaced, ec);
        if (ec)
            return wrapFailure("cannot replace '" + target.string() + "': " + ec.message());
    }
    stdfs::rename(scratch.path, target, ec);
    if (ec) {
        if (!replaced.empty())
            stdfs::rename(replaced, target, ec);
        return wrapFailure("cannot move the bundle to '" + target.string() + "': " + ec.message());
    }
    scratch.path.clear();
    if (const std::string problem = checkOpens(target.string()); !problem.empty()) {
        stdfs::remove_all(target, ec);
        if (!replaced.empty())
            stdfs::rename(replaced, target, ec);
        return wrapFailure("the bundle made for '" + given + "' does not work, so it was not kept: " + problem);
    }
    if (!replaced.empty())
        stdfs::remove_all(replaced, ec);

    std::printf("wrote     %s\n", target.string().c_str());
    std::printf("component %s  '%s' '%s' '%s'\n", settings.name.c_str(), settings.type.c_str(), settings.subtype.c_str(),
                settings.manufacturer.c_str());
    std::printf("wraps     %s (a link: keep the plug-in where it is)\n", pluginPath.string().c_str());
    std::printf("parameters %d published", published);
    if (published < numParams)
        std::printf(" (of %d: the Audio Unit publishes at most %d)", numParams, q9framework::maxMappedParameters);
    std::printf("\ntry       kelvane au info --plugin '%s'\n", target.string().c_str());
    return exitSuccess;
}

} // namespace kelvane
