#include "tools/pack/PackTool.h"

#include "framework/core/FileStream.h"
#include "framework/resources/ResourcePack.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace q9framework;

namespace {

struct Item {
    std::string name, path, origin;   // origin: where it was given, for messages
};

void printUsage(std::FILE* err)
{
    std::fprintf(err,
                 "usage: kelvane-pack OUT.bin NAME=FILE ...\n"
                 "       kelvane-pack OUT.bin --manifest LIST.txt\n"
                 "       kelvane-pack --list PACK.bin\n");
}

bool endsWith(const std::string& s, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    if (s.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != suffix[i])
            return false;
    return true;
}

bool parseItem(const std::string& text, const std::string& origin, const std::string& baseFolder, Item& item,
               std::FILE* err)
{
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == text.size()) {
        std::fprintf(err, "kelvane-pack: %s: expected NAME=FILE, got \"%s\"\n", origin.c_str(), text.c_str());
        return false;
    }
    item.name = text.substr(0, eq);
    item.path = text.substr(eq + 1);
    if (!baseFolder.empty() && item.path[0] != '/')
        item.path = baseFolder + "/" + item.path;
    item.origin = origin;
    return true;
}

bool readManifest(const std::string& path, std::vector<Item>& items, std::FILE* err)
{
    std::ifstream in(path);
    if (!in) {
        std::fprintf(err, "kelvane-pack: %s: cannot open the manifest\n", path.c_str());
        return false;
    }
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        Item item;
        if (!parseItem(line.substr(start), path + ":" + std::to_string(number), folder, item, err))
            return false;
        items.push_back(item);
    }
    return true;
}

const char* typeName(uint32_t type)
{
    switch (type) {
        case resourceText: return "text";
        case resourceImage: return "image";
        case resourceData: return "data";
        case resourceSample: return "sample";
        default: return "unknown";
    }
}

int listPack(const char* path, std::FILE* out, std::FILE* err)
{
    FileStream file(path, FileStream::modeRead);
    if (!file.isOpen()) {
        std::fprintf(err, "kelvane-pack: %s: cannot open\n", path);
        return 1;
    }
    ResourcePack pack;
    const bool complete = pack.read(file);
    for (int i = 0; i < pack.getNumEntries(); ++i) {
        const ResourceEntry& e = *pack.getEntry(i);
        std::fprintf(out, "%s\t%s\t", e.name.toUTF8(), typeName(e.type));
        switch (e.type) {
            case resourceText: std::fprintf(out, "%zu bytes\n", std::strlen(e.text.toUTF8())); break;
            case resourceImage:
                std::fprintf(out, "%d x %d, margin %d\n", e.image.getWidth(), e.image.getHeight(), e.image.getMargin());
                break;
            case resourceData: std::fprintf(out, "%llu bytes\n", static_cast<unsigned long long>(e.data.getSize())); break;
            default:
                std::fprintf(out, "%u channels, %llu frames, %u bits, %g Hz\n", e.sample.getNumChannels(),
                             static_cast<unsigned long long>(e.sample.getLengthFrames()), e.sample.getBitsPerSample(),
                             e.sample.getSampleRate());
        }
    }
    if (!complete) {
        std::fprintf(err, "kelvane-pack: %s: not a resource pack, or damaged after entry %d\n", path,
                     pack.getNumEntries());
        return 1;
    }
    return 0;
}

int writePack(const std::string& outPath, const std::vector<Item>& items, std::FILE* err)
{
    ResourcePack pack;
    for (const Item& item : items) {
        struct stat info{};
        if (::stat(item.path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            std::fprintf(err, "kelvane-pack: %s: cannot read \"%s\" (given in %s)\n", item.path.c_str(),
                         item.name.c_str(), item.origin.c_str());
            return 1;
        }
        if (!pack.isNameFree(item.name.c_str())) {
            std::fprintf(err, "kelvane-pack: %s: the name \"%s\" is used twice\n", item.origin.c_str(), item.name.c_str());
            return 1;
        }
        if (!pack.addFile(item.name.c_str(), item.path.c_str())) {
            std::fprintf(err, "kelvane-pack: %s: empty or unreadable file\n", item.path.c_str());
            return 1;
        }
        const bool namedAsPicture = endsWith(item.path, ".png") || endsWith(item.path, ".jpg") || endsWith(item.path, ".jpeg");
        if (namedAsPicture && pack.findEntry(item.name.c_str())->type != resourceImage) {
            std::fprintf(err, "kelvane-pack: %s: not a decodable PNG or JPEG image\n", item.path.c_str());
            return 1;
        }
    }
    const std::string temporary = outPath + ".tmp";
    bool saved = false;
    {
        FileStream file(temporary.c_str(), FileStream::modeWrite);
        if (!file.isOpen()) {
            std::fprintf(err, "kelvane-pack: %s: cannot create\n", temporary.c_str());
            return 1;
        }
        saved = pack.save(file) && file.getPosition() == file.getLength();
    }
    if (!saved || std::rename(temporary.c_str(), outPath.c_str()) != 0) {
        std::remove(temporary.c_str());
        std::fprintf(err, "kelvane-pack: %s: cannot write the pack\n", outPath.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int runPackTool(int argc, const char* const* argv, std::FILE* out, std::FILE* err)
{
    if (argc == 3 && std::strcmp(argv[1], "--list") == 0)
        return listPack(argv[2], out, err);
    if (argc < 2 || argv[1][0] == '-') {
        printUsage(err);
        return 2;
    }
    std::vector<Item> items;
    if (argc == 4 && std::strcmp(argv[2], "--manifest") == 0) {
        if (!readManifest(argv[3], items, err))
            return 1;
    } else {
        for (int i = 2; i < argc; ++i) {
            Item item;
            if (!parseItem(argv[i], "argument " + std::to_string(i - 1), std::string(), item, err)) {
                printUsage(err);
                return 2;
            }
            items.push_back(item);
        }
    }
    return writePack(argv[1], items, err);
}
