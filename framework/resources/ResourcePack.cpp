#include "framework/resources/ResourcePack.h"

#include "framework/core/FileContents.h"
#include "framework/core/FileStream.h"
#include "framework/resources/RecordMagic.h"
#include "framework/core/Stream.h"

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>

namespace q9framework {

namespace {

const char* const packMagic = "Q9RESPK00";
const char* const entryMagic = "Q9RES00";

std::mutex bundleLock;
std::string bundlePath;   // the selected bundle's folder; empty until one is selected

std::mutex sharedLock;    // serialises acquireShared/releaseShared only
int sharedUsers = 0;
std::atomic<ResourcePack*> sharedPack{nullptr};

// Removes the last n path components ("/a/b/c/d", 3 -> "/a").
std::string parentFolder(std::string path, int n)
{
    for (int i = 0; i < n; ++i) {
        const size_t slash = path.find_last_of('/');
        if (slash == std::string::npos)
            return std::string();
        path.erase(slash);
    }
    return path;
}

// The module this code was linked into: the plug-in's .so inside Contents/x86_64-linux/ of its bundle.
std::string ownBundleFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ownBundleFolder), &info) == 0 || info.dli_fname == nullptr)
        return std::string();
    return parentFolder(info.dli_fname, 3);
}

bool readEntry(Stream& stream, ResourceEntry& entry)
{
    if (!readMagic(stream, entryMagic))
        return false;
    entry.name = stream.readString();
    // A header cut short reads as zeros; check the type field really arrived before trusting it.
    if (stream.getLength() - stream.getPosition() < 4)
        return false;
    entry.type = static_cast<uint32_t>(stream.readInt());
    switch (entry.type) {
        case resourceText: entry.text = stream.readString(); break;
        case resourceImage: {
            Image image(0, 0, false, Image::defaultMargin);
            // A payload that does not decode leaves a null image; reading goes on from where it stopped.
            (void) image.readRecord(stream);
            entry.image = image;
            break;
        }
        case resourceData: entry.data = MemoryBlock::readRecord(stream); break;
        case resourceSample: (void) entry.sample.readRecord(stream); break;
        default: return false;
    }
    return true;
}

bool writeEntry(Stream& stream, const ResourceEntry& entry)
{
    if (entry.type > resourceSample)
        return false;
    stream.writeString(entryMagic);
    stream.writeString(entry.name);
    stream.writeInt(static_cast<int32_t>(entry.type));
    switch (entry.type) {
        case resourceText: stream.writeString(entry.text); return true;
        case resourceImage: return entry.image.writeRecord(stream);
        case resourceData: entry.data.writeRecord(stream); return true;
        default: return entry.sample.writeRecord(stream);
    }
}

} // namespace

ResourcePack::ResourcePack() = default;

ResourcePack::~ResourcePack() { clear(); }

void ResourcePack::grow(std::vector<std::unique_ptr<ResourceEntry>>& list)
{
    // The framework's array rule: when full, room for count + max(5, count / 2).
    const size_t count = list.size();
    if (count == list.capacity())
        list.reserve(count + std::max<size_t>(5, count / 2));
}

ResourceEntry* ResourcePack::append(std::unique_ptr<ResourceEntry> entry)
{
    grow(entries);
    entries.push_back(std::move(entry));
    return entries.back().get();
}

void ResourcePack::notify()
{
    // A copy, so a listener may remove itself while being told.
    const std::vector<Listener*> current = listeners;
    for (Listener* l : current)
        l->resourcePackChanged(*this);
}

bool ResourcePack::read(Stream& stream)
{
    if (!readMagic(stream, packMagic))
        return false;
    const int32_t count = stream.readInt();
    if (count <= 0)
        return count == 0;
    // Entries are appended one by one as they arrive, so a count larger than the file costs nothing:
    // reading stops at the first entry the file does not hold.
    for (int32_t i = 0; i < count; ++i) {
        auto entry = std::make_unique<ResourceEntry>(String("dummy"), resourceText);
        if (!readEntry(stream, *entry))
            return false;
        append(std::move(entry));
    }
    return true;
}

bool ResourcePack::save(Stream& stream) const
{
    if (!stream.isWritable())
        return false;
    stream.writeString(packMagic);
    stream.writeInt(static_cast<int32_t>(entries.size()));
    for (const auto& entry : entries)
        if (!writeEntry(stream, *entry))
            return false;
    return true;
}

const ResourceEntry* ResourcePack::getEntry(int index) const noexcept
{
    return index >= 0 && index < getNumEntries() ? entries[static_cast<size_t>(index)].get() : nullptr;
}

const ResourceEntry* ResourcePack::findEntry(const String& name) const noexcept
{
    for (const auto& entry : entries)
        if (entry->name == name)
            return entry.get();
    return nullptr;
}

Image ResourcePack::getImage(const String& name) const noexcept
{
    const ResourceEntry* entry = findEntry(name);
    return entry != nullptr && entry->type == resourceImage ? entry->image : Image();
}

String ResourcePack::getString(const String& name) const
{
    const ResourceEntry* entry = findEntry(name);
    return entry != nullptr && entry->type == resourceText ? entry->text : String();
}

MemoryBlock ResourcePack::getData(const String& name) const
{
    const ResourceEntry* entry = findEntry(name);
    return entry != nullptr && entry->type == resourceData ? entry->data : MemoryBlock(uint64_t(0));
}

Sample ResourcePack::getSample(const String& name) const
{
    const ResourceEntry* entry = findEntry(name);
    return entry != nullptr && entry->type == resourceSample ? entry->sample : Sample();
}

std::vector<String> ResourcePack::getNames(uint32_t typeFilter) const
{
    std::vector<String> names;
    for (const auto& entry : entries)
        if (typeFilter == allTypes || entry->type == typeFilter)
            names.push_back(entry->name);
    return names;
}

bool ResourcePack::isNameFree(const String& name) const noexcept { return findEntry(name) == nullptr; }

String ResourcePack::makeUniqueName(const String& base) const
{
    if (isNameFree(base))
        return base;
    for (int suffix = 1;; ++suffix) {
        String candidate = base + String(suffix);
        if (isNameFree(candidate))
            return candidate;
    }
}

bool ResourcePack::addString(const String& name, const String& value)
{
    append(std::make_unique<ResourceEntry>(name, resourceText))->text = String(value.toUTF8());
    notify();
    return true;
}

bool ResourcePack::addImage(const String& name, const Image& value)
{
    append(std::make_unique<ResourceEntry>(name, resourceImage))->image = value;
    notify();
    return true;
}

bool ResourcePack::addData(const String& name, const MemoryBlock& value)
{
    append(std::make_unique<ResourceEntry>(name, resourceData))->data = value;
    notify();
    return true;
}

bool ResourcePack::addSample(const String& name, const Sample& value)
{
    append(std::make_unique<ResourceEntry>(name, resourceSample))->sample = value;
    notify();
    return true;
}

bool ResourcePack::addFile(const String& name, const char* filePath)
{
    if (!isNameFree(name) || filePath == nullptr)
        return false;
    const MemoryBlock bytes = readFileContents(filePath);
    if (bytes.isNull())
        return false;
    const size_t length = static_cast<size_t>(bytes.getSize());
    const auto* raw = static_cast<const uint8_t*>(bytes.getData());
    Image image = Image::decode(raw, length);
    if (!image.isNull())
        return addImage(name, image);
    Sample sample = Sample::decodeWav(raw, length);
    if (!sample.isEmpty())
        return addSample(name, sample);
    return addData(name, bytes);
}

bool ResourcePack::remove(const String& name)
{
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if ((*it)->name == name) {
            entries.erase(it);
            notify();
            return true;
        }
    }
    return false;
}

bool ResourcePack::rename(int index, const String& newName)
{
    if (index < 0 || index >= getNumEntries())
        return false;
    entries[static_cast<size_t>(index)]->name = newName;
    notify();
    return true;
}

void ResourcePack::clear()
{
    entries.clear();
    notify();
}

void ResourcePack::addListener(Listener* listener)
{
    if (listener == nullptr || std::find(listeners.begin(), listeners.end(), listener) != listeners.end())
        return;
    listeners.push_back(listener);
}

void ResourcePack::removeListener(Listener* listener)
{
    listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}

void ResourcePack::setResourceBundle(const char* /*identifier*/)
{
    // One bundle per executable on Linux: whatever identifier the effect names is its own bundle.
    const std::string own = ownBundleFolder();
    const std::lock_guard<std::mutex> hold(bundleLock);
    bundlePath = own;
}

void ResourcePack::setResourceBundlePath(const char* path)
{
    const std::lock_guard<std::mutex> hold(bundleLock);
    bundlePath = path != nullptr ? path : "";
}

String ResourcePack::getBundlePath()
{
    std::string path;
    {
        const std::lock_guard<std::mutex> hold(bundleLock);
        path = bundlePath;
    }
    // Nothing selected: the main bundle, which for us is the one holding this code.
    if (path.empty())
        path = ownBundleFolder();
    return String(path.c_str());
}

String ResourcePack::getResourcePath(const char* fileName)
{
    return getBundlePath() + "/Contents/Resources/" + (fileName != nullptr ? fileName : "");
}

std::unique_ptr<ResourcePack> ResourcePack::loadFile(const char* filePath)
{
    if (filePath == nullptr)
        return nullptr;
    FileStream file(filePath, FileStream::modeRead);
    if (file.getLength() < 1)
        return nullptr;
    auto pack = std::make_unique<ResourcePack>();
    (void) pack->read(file);   // a pack that failed part-way keeps what it read
    return pack;
}

std::unique_ptr<ResourcePack> ResourcePack::loadResourcePack(const char* fileName)
{
    return loadFile(getResourcePath(fileName).toUTF8());
}

ResourcePack* ResourcePack::acquireShared(const char* resourcesFolder)
{
    const std::lock_guard<std::mutex> hold(sharedLock);
    if (sharedUsers++ == 0) {
        std::unique_ptr<ResourcePack> pack;
        if (resourcesFolder != nullptr)
            pack = loadFile((std::string(resourcesFolder) + "/resources.bin").c_str());
        else
            pack = loadResourcePack("resources.bin");
        sharedPack.store(pack.release());
    }
    return sharedPack.load();
}

void ResourcePack::releaseShared()
{
    const std::lock_guard<std::mutex> hold(sharedLock);
    if (sharedUsers == 0)
        return;
    if (--sharedUsers == 0)
        delete sharedPack.exchange(nullptr);
}

ResourcePack* ResourcePack::getShared() noexcept { return sharedPack.load(); }

Image ResourcePack::getSharedImage(const String& name) noexcept
{
    const ResourcePack* pack = sharedPack.load();
    return pack != nullptr ? pack->getImage(name) : Image();
}

int ResourcePack::getSharedUserCount() noexcept
{
    const std::lock_guard<std::mutex> hold(sharedLock);
    return sharedUsers;
}

} // namespace q9framework
