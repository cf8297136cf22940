// "resources.bin" and the image records inside it, as the plug-in reads its pack. Checks: reading
// never reads or allocates beyond the data (ASan), and a pack that was read saves and reads back to
// the same bytes.
#include "framework/core/MemoryStream.h"
#include "framework/resources/ResourcePack.h"
#include "fuzz/FuzzSupport.h"

#include <cstring>

using namespace q9framework;

namespace {

MemoryBlock saved(const ResourcePack& pack)
{
    MemoryStream out;
    FUZZ_CHECK(pack.save(out), "a pack that was read saves");
    return out.getBlock();
}

bool sameBytes(const MemoryBlock& a, const MemoryBlock& b)
{
    return a.getSize() == b.getSize() && (a.getSize() == 0 || std::memcmp(a.getData(), b.getData(), a.getSize()) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0 && data[0] == 'I') {
        // An image record on its own (the first byte only picks the reader).
        MemoryStream in(MemoryBlock(data + 1, size - 1, true));
        Image image;
        if (image.readRecord(in) && !image.isNull()) {
            MemoryStream out;
            FUZZ_CHECK(image.writeRecord(out), "a read image writes");
            out.setPosition(0);
            Image again;
            FUZZ_CHECK(again.readRecord(out), "a written image reads");
            MemoryStream reout;
            FUZZ_CHECK(again.writeRecord(reout) && sameBytes(reout.getBlock(), out.getBlock()), "image records are stable");
        }
        return 0;
    }
    MemoryStream in(MemoryBlock(data, size, true));
    ResourcePack pack;
    (void) pack.read(in);
    bool hasNullImage = false;
    for (int i = 0; i < pack.getNumEntries(); ++i) {
        const ResourceEntry* entry = pack.getEntry(i);
        (void) pack.findEntry(entry->getName());
        hasNullImage = hasNullImage || (entry->getType() == resourceImage && entry->image.isNull());
    }
    // A null image's record is written with four zero fields but read back after two (the record's
    // published reading steps): a pack holding one does not read back whole. The packing tool never
    // writes one.
    if (hasNullImage)
        return 0;
    const MemoryBlock first = saved(pack);
    MemoryStream again(first);
    ResourcePack reread;
    FUZZ_CHECK(reread.read(again), "a saved pack reads whole");
    FUZZ_CHECK(reread.getNumEntries() == pack.getNumEntries(), "every entry comes back");
    FUZZ_CHECK(sameBytes(saved(reread), first), "a saved pack reads back to the same bytes");
    return 0;
}
