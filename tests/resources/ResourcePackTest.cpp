#include "framework/core/FileStream.h"
#include "framework/core/MemoryStream.h"
#include "framework/resources/ResourcePack.h"

#include "TestPictures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

using namespace q9framework;

namespace {

std::vector<uint8_t> bytesOf(const MemoryStream& s)
{
    const auto* p = static_cast<const uint8_t*>(s.getBlock().getData());
    return std::vector<uint8_t>(p, p + s.getBlock().getSize());
}

std::vector<uint8_t> saved(const ResourcePack& pack)
{
    MemoryStream s;
    EXPECT_TRUE(pack.save(s));
    return bytesOf(s);
}

std::unique_ptr<ResourcePack> readBack(const std::vector<uint8_t>& bytes, bool* complete = nullptr)
{
    auto pack = std::make_unique<ResourcePack>();
    MemoryStream in(MemoryBlock(bytes.data(), bytes.size(), true));
    const bool ok = pack->read(in);
    if (complete != nullptr)
        *complete = ok;
    return pack;
}

Image smallImage(uint32_t word)
{
    Image image(3, 2, true);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            std::memcpy(image.getPixelPointer(x, y), &word, 4);
    return image;
}

Sample smallSample()
{
    Sample sample(2, 32, 4, 3, 48000.0);
    for (uint32_t c = 0; c < 2; ++c)
        for (int i = 0; i < 4; ++i)
            sample.getFloatChannel(c)[i] = static_cast<float>(c) + 0.25f * static_cast<float>(i);
    return sample;
}

// A pack of one entry of every type, in the order text, image, data, sample.
ResourcePack& fillAllTypes(ResourcePack& pack)
{
    pack.addString("title", "Kelvane");
    pack.addImage("KV.0001.tif", smallImage(0xFF102030u));
    const uint8_t raw[5] = {9, 8, 7, 6, 5};
    pack.addData("blob", MemoryBlock(raw, sizeof(raw), true));
    pack.addSample("click", smallSample());
    return pack;
}

struct CountingListener : ResourcePack::Listener {
    int calls = 0;
    void resourcePackChanged(ResourcePack&) override { ++calls; }
};

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace

TEST(ResourcePack, RoundTripOfAllFourTypes)
{
    ResourcePack pack;
    const std::vector<uint8_t> bytes = saved(fillAllTypes(pack));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 18),
              (std::vector<uint8_t>{10, 0, 0, 0, 'Q', '9', 'R', 'E', 'S', 'P', 'K', '0', '0', 0, 4, 0, 0, 0}));

    bool complete = false;
    const auto read = readBack(bytes, &complete);
    EXPECT_TRUE(complete);
    ASSERT_EQ(read->getNumEntries(), 4);
    EXPECT_EQ(read->getNames(ResourcePack::allTypes),
              (std::vector<String>{"title", "KV.0001.tif", "blob", "click"}));
    EXPECT_EQ(read->getString("title"), "Kelvane");

    const Image image = read->getImage("KV.0001.tif");
    ASSERT_EQ(image.getSize(), Point(3, 2));
    uint32_t w = 0;
    std::memcpy(&w, image.getPixelPointer(2, 1), 4);
    EXPECT_EQ(w, 0xFF102030u);

    const MemoryBlock data = read->getData("blob");
    ASSERT_EQ(data.getSize(), 5u);
    EXPECT_EQ(static_cast<const uint8_t*>(data.getData())[4], 5);

    const Sample sample = read->getSample("click");
    ASSERT_EQ(sample.getNumChannels(), 2u);
    EXPECT_EQ(sample.getLengthFrames(), 4u);
    EXPECT_EQ(sample.getSampleRate(), 48000.0);
    EXPECT_EQ(sample.getFloatChannel(1)[3], 1.75f);
    EXPECT_EQ(sample.getFloatChannel(1)[-1], 0.0f) << "margins are not stored and read back as silence";

    EXPECT_EQ(saved(*read), bytes) << "a read pack saves to the same bytes";
}

TEST(ResourcePack, NullImagesDoNotSwallowTheEntriesAfterThem)
{
    ResourcePack pack;
    pack.addImage("none", Image());
    pack.addImage("flat", Image(4, 0, true));
    fillAllTypes(pack);
    bool complete = false;
    const auto read = readBack(saved(pack), &complete);
    EXPECT_TRUE(complete);
    ASSERT_EQ(read->getNumEntries(), 6);
    EXPECT_TRUE(read->getImage("none").isNull());
    EXPECT_TRUE(read->getImage("flat").isNull());
    EXPECT_EQ(read->getImage("KV.0001.tif").getSize(), Point(3, 2));
    EXPECT_EQ(read->getSample("click").getLengthFrames(), 4u);
}

TEST(ResourcePack, LookupsFirstNameWinsAndTypeFallbacks)
{
    ResourcePack pack;
    pack.addString("twice", "first");
    pack.addString("twice", "second");
    pack.addImage("picture", smallImage(1));
    EXPECT_EQ(pack.getString("twice"), "first");

    EXPECT_TRUE(pack.getImage("twice").isNull()) << "a text entry is no image";
    EXPECT_FALSE(pack.getData("picture").isNull()) << "a new empty block, not a null handle";
    EXPECT_TRUE(pack.getImage("Picture").isNull()) << "names are case-sensitive";
    EXPECT_EQ(pack.getImage("picture"), pack.getImage("picture")) << "shared, never copied";

    pack.addSample("s", smallSample());
    Sample copy = pack.getSample("s");
    copy.getFloatChannel(0)[0] = 99.0f;
    EXPECT_EQ(pack.getSample("s").getFloatChannel(0)[0], 0.0f) << "samples are handed out as copies";
}

TEST(ResourcePack, MakeUniqueNameAndEditing)
{
    ResourcePack pack;
    CountingListener listener;
    pack.addListener(&listener);
    pack.addListener(&listener);
    pack.addString("knob", "");
    pack.addString("knob1", "");
    EXPECT_EQ(pack.makeUniqueName("knob"), "knob2");

    EXPECT_TRUE(pack.remove("knob"));
    EXPECT_TRUE(pack.rename(0, "dial"));
    EXPECT_EQ(listener.calls, 4) << "two adds, one remove, one rename; a listener counts once";
    pack.clear();
    EXPECT_EQ(listener.calls, 5);
    pack.removeListener(&listener);
}

TEST(ResourcePack, DamageKeepsTheEntriesBefore)
{
    ResourcePack pack;
    const std::vector<uint8_t> good = saved(fillAllTypes(pack));

    // The type field of "blob": after the two entries before it (a pack of just those differs only in
    // its count), the entry's magic and its name.
    ResourcePack firstTwo;
    firstTwo.addString("title", "Kelvane");
    firstTwo.addImage("KV.0001.tif", smallImage(0xFF102030u));
    std::vector<uint8_t> unknownType = good;
    put32(unknownType, saved(firstTwo).size() + 12 + 4 + 5, 7);
    bool complete = true;
    auto read = readBack(unknownType, &complete);
    EXPECT_FALSE(complete);
    ASSERT_EQ(read->getNumEntries(), 2);
    EXPECT_EQ(read->getString("title"), "Kelvane");
    EXPECT_EQ(read->getImage("KV.0001.tif").getSize(), Point(3, 2));

    // A sample record cut inside its header: the zeros past the end once read as a valid sample of no
    // frames.
    MemoryStream record;
    ASSERT_TRUE(smallSample().writeRecord(record));
    MemoryStream cut(MemoryBlock(record.getBlock().getData(), 12, true));
    Sample sample = smallSample();
    EXPECT_FALSE(sample.readRecord(cut));
}

TEST(ResourcePack, AddFileChoosesImageSampleOrData)
{
    const std::string png = testpictures::writeTempFile("knob.png", testpictures::makePng(2, 1, {1, 2, 3, 255, 4, 5, 6, 255}));
    const std::string wav = testpictures::writeTempFile("click.wav", testpictures::makeWav16(2, 44100, {16384, -16384, 0, 32767}));
    const std::string txt = testpictures::writeTempFile("notes.txt", {'h', 'i'});

    ResourcePack pack;
    EXPECT_TRUE(pack.addFile("knob", png.c_str()));
    EXPECT_TRUE(pack.addFile("click", wav.c_str()));
    EXPECT_TRUE(pack.addFile("notes", txt.c_str()));
    EXPECT_FALSE(pack.addFile("knob", txt.c_str())) << "name taken";
    ASSERT_EQ(pack.getNumEntries(), 3);

    EXPECT_EQ(pack.findEntry("knob")->type, uint32_t(resourceImage));
    const Sample click = pack.getSample("click");
    ASSERT_EQ(click.getNumChannels(), 2u);
    EXPECT_EQ(click.getSampleRate(), 44100.0);
    EXPECT_EQ(click.getFloatChannel(0)[0], 0.5f);
    EXPECT_EQ(click.getFloatChannel(1)[0], -0.5f);
    EXPECT_EQ(pack.findEntry("notes")->type, uint32_t(resourceData));
    EXPECT_EQ(pack.getData("notes").getSize(), 2u);
}

TEST(ResourcePack, SharedPackLifetime)
{
    const std::string folder = std::string(::testing::TempDir()) + "pack" + std::to_string(::getpid());
    ::mkdir(folder.c_str(), 0755);
    {
        ResourcePack pack;
        pack.addImage("satled.png", smallImage(0xFF00FF00u));
        FileStream out((folder + "/resources.bin").c_str(), FileStream::modeWrite);
        ASSERT_TRUE(pack.save(out));
    }
    ASSERT_EQ(ResourcePack::getSharedUserCount(), 0);
    ResourcePack* first = ResourcePack::acquireShared(folder.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ResourcePack::acquireShared("/nowhere"), first) << "later users share the first one's pack";
    const Image led = ResourcePack::getSharedImage("satled.png");
    EXPECT_EQ(led, first->getImage("satled.png"));
    ResourcePack::releaseShared();
    EXPECT_EQ(ResourcePack::getShared(), first);
    ResourcePack::releaseShared();
    EXPECT_EQ(ResourcePack::getShared(), nullptr) << "the last user frees it";
    EXPECT_TRUE(ResourcePack::getSharedImage("satled.png").isNull()) << "lookups accept the absent pack";

    uint32_t w = 0;
    std::memcpy(&w, led.getPixelPointer(2, 1), 4);
    EXPECT_EQ(w, 0xFF00FF00u) << "an image taken from the pack outlives it";

    EXPECT_EQ(ResourcePack::acquireShared((folder + "/missing").c_str()), nullptr) << "the plug-in works without one";
    ResourcePack::releaseShared();
}
