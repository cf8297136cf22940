#pragma once
#include "framework/resources/Image.h"
#include "framework/core/MemoryBlock.h"
#include "framework/resources/Sample.h"
#include "framework/core/String.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace q9framework {

class Stream;

/** Type codes of pack entries, as stored in the file. */
enum ResourceType : uint32_t {
    resourceText = 0,
    resourceImage = 1,
    resourceData = 2,
    resourceSample = 3,
};

/** One named, typed entry of a pack; owned by its pack. Only the payload of its type is used. */
class ResourceEntry {
public:
    ResourceEntry(const String& entryName, uint32_t entryType) : name(entryName), type(entryType) {}

    const String& getName() const noexcept { return name; }
    uint32_t getType() const noexcept { return type; }

    String name;
    uint32_t type;
    String text;         // type 0
    Image image;         // type 1 (shares storage with the handles given out)
    MemoryBlock data;    // type 2 (shared likewise)
    Sample sample;       // type 3 (copied when given out)
};

/** A resource pack: an ordered list of named, typed resources (text, decoded images, data blocks,
    audio samples), the editor's artwork. The file "resources.bin" is written once by the packing
    tool at build time and read once per process at run time.

    File: string "Q9RESPK00", i32 entry count, then per entry the string "Q9RES00", the name string,
    u32 type and the payload (text: a string; image: a "Q9IMG00" record; data: u64 count and bytes;
    sample: a Sample record). Strings are a u32 count N, N bytes (text and one NUL).

    Bad input never crashes and is never reported: a wrong file magic leaves the pack empty; a bad
    entry magic, a type above 3 or the end of data stops reading, keeping the entries read before; a
    payload that does not decode leaves that entry with a null image, empty block or empty sample.
    Every count is bounded by what remains of the stream, so a hostile file cannot make the reader
    allocate more than its own size (plus sample margins, themselves bounded) nor address outside its
    buffers. Lookups of a missing name or of another type give the type's fallback: empty string,
    null image, empty block, empty sample.

    Threads: one thread at a time per pack. Handles obtained from it (images, blocks) may go to any
    thread and outlive the pack. */
class ResourcePack {
public:
    /** Told after every change made through add, remove, rename and clear (reading does not notify). */
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void resourcePackChanged(ResourcePack& pack) = 0;
    };

    ResourcePack();
    /** Clears (notifying the listeners), then goes. */
    ~ResourcePack();
    ResourcePack(const ResourcePack&) = delete;
    ResourcePack& operator=(const ResourcePack&) = delete;

    // ---- Reading and writing --------------------------------------------------------------------
    /** Appends the entries of the stream (see the class comment). False when reading stopped early or
        the magic was wrong; the entries read so far stay either way. */
    bool read(Stream& stream);
    /** Writes the whole pack. False as soon as an entry has a type above 3 or the stream refuses bytes. */
    bool save(Stream& stream) const;

    // ---- Lookups: exact, case-sensitive names; the first entry in pack order wins ---------------
    int getNumEntries() const noexcept { return static_cast<int>(entries.size()); }
    /** The entry at `index`, or null outside 0..count-1. */
    const ResourceEntry* getEntry(int index) const noexcept;
    const ResourceEntry* findEntry(const String& name) const noexcept;
    /** Shares the entry's storage: the handle stays valid after the pack is gone. */
    Image getImage(const String& name) const noexcept;
    String getString(const String& name) const;
    MemoryBlock getData(const String& name) const;
    /** An independent copy. */
    Sample getSample(const String& name) const;
    /** The names of the entries of that type, in pack order; allTypes selects every entry. */
    static constexpr uint32_t allTypes = 0xFFFFFFFFu;
    std::vector<String> getNames(uint32_t typeFilter) const;
    bool isNameFree(const String& name) const noexcept;
    /** The first of base, base + "1", base + "2", ... that no entry uses. */
    String makeUniqueName(const String& base) const;

    // ---- Editing (the packing tool; the plug-in never edits) ------------------------------------
    /** Append an entry (a copy of the text or sample, a shared image or block), notify, true.
        Names are not checked. */
    bool addString(const String& name, const String& value);
    bool addImage(const String& name, const Image& value);
    bool addData(const String& name, const MemoryBlock& value);
    bool addSample(const String& name, const Sample& value);
    /** False when the name is taken. Otherwise the file becomes an image entry when it decodes as PNG
        or JPEG, else a sample entry when it reads as WAV, else a data entry holding its bytes; a file
        that cannot be opened or has no bytes adds nothing (false). */
    bool addFile(const String& name, const char* filePath);
    /** Removes the first entry of that name; whether there was one. */
    bool remove(const String& name);
    /** Renames the entry at `index`; false outside 0..count-1. */
    bool rename(int index, const String& newName);
    /** Destroys every entry and notifies. */
    void clear();

    /** Registering twice does nothing. Listeners are not owned and must remove themselves. */
    void addListener(Listener* listener);
    void removeListener(Listener* listener);

    // ---- Bundle and path functions ----------------------------------------------------------------
    /** Selects the bundle whose resources are loaded. On Linux every identifier resolves to the
        bundle that holds the executable this code was linked into (found with dladdr, three path
        components above the .so); setResourceBundlePath names a folder directly (tools, tests). */
    static void setResourceBundle(const char* identifier);
    static void setResourceBundlePath(const char* bundlePath);
    /** The selected bundle's folder (empty when none could be found). */
    static String getBundlePath();
    /** The bundle's resources folder + "/" + fileName. */
    static String getResourcePath(const char* fileName);
    /** Reads the file of that name in the bundle's resources folder; null when it is missing,
        unreadable or empty. A file that fails part-way still gives the entries read before. */
    static std::unique_ptr<ResourcePack> loadResourcePack(const char* fileName);
    /** Reads a pack from a file path; null when missing, unreadable or empty. */
    static std::unique_ptr<ResourcePack> loadFile(const char* filePath);

    // ---- The process-wide pack of the effect instances -------------------------------------------
    /** Counts one more user; the first loads `resourcesFolder`/resources.bin (a null folder means the
        selected bundle's resources folder) into the process-wide pack. Returns that pack, which may be
        null (no file, or an empty one): the editor then shows no artwork but works.
        Threads: whichever thread the host constructs and destroys instances on; acquire and release
        are serialised by a lock of their own (never taken on the audio path). */
    static ResourcePack* acquireShared(const char* resourcesFolder);
    /** Counts one user less; the last destroys the pack (images taken from it stay valid). Unmatched
        calls are ignored. */
    static void releaseShared();
    /** The process-wide pack, or null. For lookups on the main thread while a user holds it. */
    static ResourcePack* getShared() noexcept;
    /** getImage on the process-wide pack; a null image when there is none (the editor's lookups). */
    static Image getSharedImage(const String& name) noexcept;
    static int getSharedUserCount() noexcept;

private:
    ResourceEntry* append(std::unique_ptr<ResourceEntry> entry);
    void notify();
    static void grow(std::vector<std::unique_ptr<ResourceEntry>>& list);

    std::vector<std::unique_ptr<ResourceEntry>> entries;
    std::vector<Listener*> listeners;
};

} // namespace q9framework
