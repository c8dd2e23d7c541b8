#include "core/Patch.h"

#include "core/Errors.h"
#include "core/Language.h"
#include "core/RomImgManager.h"
#include "tests/support/Images.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <zlib.h>

using namespace vx;

namespace {

using ByteVector = std::vector<std::uint8_t>;

constexpr auto Limit = static_cast<std::size_t>(MaxImageSize);

class PatchTest : public ::testing::Test {
protected:
    void SetUp() override { ForceLanguage(Language::English); }
    void TearDown() override { ForceLanguage(std::nullopt); }
};

ByteVector Text(const std::string& text) { return ByteVector(text.begin(), text.end()); }

ByteVector Join(std::initializer_list<ByteVector> parts)
{
    ByteVector all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

void AppendLittle32(ByteVector& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t Crc(const ByteVector& bytes) { return static_cast<std::uint32_t>(crc32_z(0, bytes.data(), bytes.size())); }

// A BPS from hand-made numbers and actions, with correct checksums, so that only what the
// test breaks is broken.
ByteVector Bps(const ByteVector& body, const ByteVector& source, const ByteVector& target)
{
    ByteVector patch = Join({Text("BPS1"), body});
    AppendLittle32(patch, Crc(source));
    AppendLittle32(patch, Crc(target));
    AppendLittle32(patch, Crc(patch));
    return patch;
}

// Recomputes a BPS patch's own checksum after a test changed its bytes.
void Reseal(ByteVector& patch)
{
    patch.resize(patch.size() - 4);
    AppendLittle32(patch, Crc(patch));
}

ByteVector Applied(const ByteVector& patch, const ByteVector& image, std::size_t maxSize = Limit)
{
    ByteVector out;
    std::string reason;
    EXPECT_TRUE(ApplyPatch(patch, image, maxSize, out, reason)) << reason;
    EXPECT_TRUE(reason.empty()) << reason;
    return out;
}

// The reason of a refusal; the output must be left as it was.
std::string Refusal(const ByteVector& patch, const ByteVector& image, std::size_t maxSize = Limit)
{
    const ByteVector before{0xEE, 0xEE};
    ByteVector out = before;
    std::string reason;
    EXPECT_FALSE(ApplyPatch(patch, image, maxSize, out, reason));
    EXPECT_EQ(out, before) << "a refusal changed the output";
    EXPECT_FALSE(reason.empty());
    return reason;
}

#define EXPECT_REFUSED(patch, image, text)                                                                   \
    do {                                                                                                     \
        const std::string reason_ = Refusal(patch, image);                                                   \
        EXPECT_NE(reason_.find(text), std::string::npos) << "reason: " << reason_;                           \
    } while (false)

// Scattered edits: short stretches of random bytes and runs of one byte.
ByteVector WithEdits(ByteVector bytes, unsigned seed, std::size_t count)
{
    std::mt19937 random(seed);
    for (std::size_t k = 0; k < count && !bytes.empty(); ++k) {
        const std::size_t at = random() % bytes.size();
        const std::size_t length = 1 + random() % 40;
        const bool run = random() % 3 == 0;
        const auto value = static_cast<std::uint8_t>(random());
        for (std::size_t i = at; i < bytes.size() && i < at + length; ++i)
            bytes[i] = run ? value : static_cast<std::uint8_t>(random());
    }
    return bytes;
}

ByteVector Sixteen()
{
    ByteVector bytes(16);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

// Sixteen() with bytes 3 and 9 changed and twenty 55s after it.
ByteVector SixteenEdited()
{
    ByteVector bytes = Sixteen();
    bytes[3] = 0xA3;
    bytes[9] = 0xB9;
    bytes.insert(bytes.end(), 20, 0x55);
    return bytes;
}

void ExpectRoundTrip(const ByteVector& original, const ByteVector& edited, const std::string& what,
                     std::size_t maxSize = Limit)
{
    for (TPatchFormat format : {TPatchFormat::Ips, TPatchFormat::Bps}) {
        const ByteVector patch = MakePatch(format, original, edited);
        EXPECT_EQ(PatchFormatOfBytes(patch), format);
        EXPECT_TRUE(Applied(patch, original, maxSize) == edited)
            << what << (format == TPatchFormat::Ips ? " (IPS)" : " (BPS)");
    }
}

TEST_F(PatchTest, KnownIps)
{
    const ByteVector expected = Join({Text("PATCH"), {0x00, 0x00, 0x03, 0x00, 0x01, 0xA3}, {0x00, 0x00, 0x09, 0x00, 0x01, 0xB9},
                                      // The run past the original's end as one run record.
                                      {0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x14, 0x55}, Text("EOF")});
    std::size_t records = 0;
    EXPECT_EQ(MakeIps(Sixteen(), SixteenEdited(), &records), expected);
    EXPECT_EQ(records, 3u);
    EXPECT_EQ(Applied(expected, Sixteen()), SixteenEdited());
}

TEST_F(PatchTest, KnownIpsTruncates)
{
    ByteVector edited = Sixteen();
    edited.resize(12);
    edited[5] = 0x77;
    const ByteVector expected = Join({Text("PATCH"), {0x00, 0x00, 0x05, 0x00, 0x01, 0x77}, Text("EOF"), {0x00, 0x00, 0x0C}});
    EXPECT_EQ(MakeIps(Sixteen(), edited), expected);
    EXPECT_EQ(Applied(expected, Sixteen()), edited);
}

TEST_F(PatchTest, KnownBps)
{
    const ByteVector expected = {
        'B', 'P', 'S', '1', 0x90, 0xA4, 0x80, // source 16, target 36, no metadata
        0x88,                                 // SourceRead 3
        0x81, 0xA3,                           // TargetRead 1
        0x90,                                 // SourceRead 5
        0x81, 0xB9,                           // TargetRead 1
        0x94,                                 // SourceRead 6
        0x81, 0x55,                           // TargetRead 1
        0xCB, 0xA0,                           // TargetCopy 19 from 16, one byte back
        0x88, 0xE2, 0xCE, 0xCE,               // source CRC32
        0xDC, 0x6F, 0x63, 0x13,               // target CRC32
        0x86, 0x31, 0xEE, 0x2E};              // patch CRC32
    std::size_t actions = 0;
    EXPECT_EQ(MakeBps(Sixteen(), SixteenEdited(), &actions), expected);
    EXPECT_EQ(actions, 7u);
    EXPECT_EQ(Applied(expected, Sixteen()), SixteenEdited());
}

TEST_F(PatchTest, BpsNumbersCarryTheirOffset)
{
    // 300 is 0x2C, then (300 >> 7) - 1 = 1 as the last byte.
    const ByteVector patch = MakeBps({}, ByteVector(300, 0x42));
    ASSERT_GE(patch.size(), 8u);
    EXPECT_EQ(ByteVector(patch.begin() + 4, patch.begin() + 8), (ByteVector{0x80, 0x2C, 0x81, 0x80}));
    EXPECT_EQ(Applied(patch, {}), ByteVector(300, 0x42));
}

TEST_F(PatchTest, BpsSourceCopyAndMetadata)
{
    const ByteVector source = Text("ABCDEFGH"), target = Text("EFGHABCD");
    // Metadata "xyz", SourceCopy 4 from +4, SourceCopy 4 from -8 (back to the start).
    const ByteVector patch = Bps({0x88, 0x88, 0x83, 'x', 'y', 'z', 0x8E, 0x88, 0x8E, 0x91}, source, target);
    EXPECT_EQ(Applied(patch, source), target);
}

TEST_F(PatchTest, FormatOfPath)
{
    EXPECT_EQ(PatchFormatOfPath("fix.ips"), TPatchFormat::Ips);
    EXPECT_EQ(PatchFormatOfPath("dir.bps/Fix.IPS"), TPatchFormat::Ips);
    EXPECT_EQ(PatchFormatOfPath("fix.Bps"), TPatchFormat::Bps);
    EXPECT_EQ(PatchFormatOfPath("fix.ips.txt"), std::nullopt);
    EXPECT_EQ(PatchFormatOfPath("fixips"), std::nullopt);
    EXPECT_EQ(PatchFormatOfPath("fix.ups"), std::nullopt);
    EXPECT_EQ(PatchFormatOfPath(""), std::nullopt);
}

TEST_F(PatchTest, UnchangedImages)
{
    const ByteVector image = test::RandomImage(MinImageSize, 1);
    EXPECT_EQ(MakeIps(image, image), Join({Text("PATCH"), Text("EOF")}));
    ExpectRoundTrip(image, image, "unchanged");
    ExpectRoundTrip({}, {}, "empty");
}

// The editor's and the tool's patch: refused for another length, for no change and past
// what IPS addresses; otherwise the format's own patch with its count.
TEST_F(PatchTest, PatchBetweenImagesRefusesWhatNeedsNoPatch)
{
    const ByteVector image = Sixteen();
    ByteVector edited = image;
    edited[3] = 0xA3;
    for (TPatchFormat format : {TPatchFormat::Ips, TPatchFormat::Bps}) {
        std::size_t records = 0;
        const TPatchResult made = MakePatchBetween(image, edited, format);
        ASSERT_TRUE(made.Made()) << made.refusal;
        EXPECT_EQ(made.bytes, MakePatch(format, image, edited, &records));
        EXPECT_EQ(made.records, records);

        const TPatchResult longer = MakePatchBetween(image, SixteenEdited(), format);
        EXPECT_FALSE(longer.Made());
        EXPECT_TRUE(longer.bytes.empty());
        EXPECT_NE(longer.refusal.find("(16 bytes) and the open image (36 bytes) differ in length"), std::string::npos)
            << longer.refusal;
        const TPatchResult same = MakePatchBetween(image, image, format);
        EXPECT_EQ(same.refusal, "The open image is the same as the original: no patch was made.");
        EXPECT_TRUE(same.bytes.empty());
    }
    EXPECT_EQ(PatchRefusal(image, edited), std::nullopt);
    EXPECT_EQ(PatchRefusal({}, {}), MakePatchBetween(image, image, TPatchFormat::Ips).refusal);
    ForceLanguage(Language::Japanese);
    EXPECT_EQ(PatchRefusal(image, ByteVector(20)),
              "元のイメージ (16 バイト) は開いているイメージ (20 バイト) と長さが違います。"
              "パッチは同じ長さのイメージの間で作成します。");
    ForceLanguage(Language::English);
    ByteVector huge(0x1000001, 1);
    const ByteVector original = huge;
    huge.back() = 2;
    const TPatchResult tooFar = MakePatchBetween(original, huge, TPatchFormat::Ips);
    EXPECT_NE(tooFar.refusal.find("only 16 MiB"), std::string::npos) << tooFar.refusal;
    EXPECT_TRUE(tooFar.bytes.empty());
}

TEST_F(PatchTest, RoundTripsAtBothSizeLimits)
{
    for (std::size_t size : {static_cast<std::size_t>(MinImageSize), Limit}) {
        const ByteVector original = test::RandomImage(size, 7);
        const ByteVector edited = WithEdits(original, 8, 300);
        ExpectRoundTrip(original, edited, "size " + std::to_string(size));
        // Scattered edits make a patch far smaller than the image.
        EXPECT_LT(MakeIps(original, edited).size(), 20000u);
        EXPECT_LT(MakeBps(original, edited).size(), 20000u);
        // The very first and last bytes.
        ByteVector ends = original;
        ends.front() ^= 0xFF;
        ends.back() ^= 0xFF;
        ExpectRoundTrip(original, ends, "first and last byte");
    }
}

TEST_F(PatchTest, RoundTripsWithOtherLengths)
{
    const ByteVector small = test::RandomImage(MinImageSize, 11);
    ByteVector longer = WithEdits(small, 12, 100);
    const ByteVector tail = test::RandomImage(5000, 13);
    longer.insert(longer.end(), tail.begin(), tail.end());
    ExpectRoundTrip(small, longer, "longer");

    ByteVector largest = WithEdits(small, 14, 100);
    largest.resize(Limit, 0);
    ExpectRoundTrip(small, largest, "longer up to the limit");

    const ByteVector large = test::RandomImage(Limit, 15);
    ByteVector shorter = WithEdits(large, 16, 100);
    shorter.resize(MinImageSize);
    ExpectRoundTrip(large, shorter, "shorter");
    ExpectRoundTrip(large, {}, "empty");
    ExpectRoundTrip({}, small, "from nothing");
}

TEST_F(PatchTest, RunsMakeSmallPatches)
{
    const ByteVector image = test::RandomImage(MinImageSize, 21);
    ByteVector grown = image;
    grown.resize(image.size() + 0x10000, 0);
    // A run record of FFFF bytes (the most a record holds) and a literal of the last byte;
    // one literal byte and one copy.
    EXPECT_EQ(MakeIps(image, grown).size(), 5u + 8u + 6u + 3u);
    EXPECT_LT(MakeBps(image, grown).size(), 40u);
    ExpectRoundTrip(image, grown, "grown by zeros");

    ByteVector filled = image;
    std::fill(filled.begin() + 0x1000, filled.begin() + 0x3000, 0xFF);
    EXPECT_EQ(MakeIps(image, filled).size(), 5u + 8u + 3u);
    EXPECT_LT(MakeBps(image, filled).size(), 40u);
    ExpectRoundTrip(image, filled, "filled");
}

TEST_F(PatchTest, RealImagesRoundTrip)
{
    const std::filesystem::path realImages = VX_TESTDATA_DIR "/nes-test-roms";
    if (!std::filesystem::is_directory(realImages)) {
        if (std::getenv("CI"))
            FAIL() << "no real images at " << realImages;
        GTEST_SKIP() << "no real images at " << realImages;
    }
    std::vector<ByteVector> images;
    for (const auto& entry : std::filesystem::directory_iterator(realImages))
        if (entry.path().extension() == ".nes")
            images.push_back(test::ReadBytes(entry.path().string()));
    ASSERT_EQ(images.size(), 3u);
    unsigned seed = 30;
    for (std::size_t k = 0; k < images.size(); ++k) {
        const ByteVector& image = images[k];
        const ByteVector edited = WithEdits(image, ++seed, 50);
        ASSERT_NE(edited, image);
        ExpectRoundTrip(image, edited, "real image " + std::to_string(k));
        // A BPS made for one image refuses the others, by size or by checksum.
        const ByteVector& other = images[(k + 1) % images.size()];
        const std::string reason = Refusal(MakeBps(image, edited), other);
        EXPECT_TRUE(reason.find("bytes, but the image has") != std::string::npos ||
                    reason.find("patch is for another image") != std::string::npos)
            << reason;
    }
}

TEST_F(PatchTest, RecordAtTheEndMarkOffset)
{
    constexpr std::size_t EndMark = 0x454F46, Size = 0x460000, BigLimit = 0x500000;
    const ByteVector original = test::RandomImage(Size, 41);
    ByteVector edited = original;
    edited[EndMark] ^= 0x5A;
    // The record starts one byte earlier and carries that unchanged byte along.
    const ByteVector expected = Join({Text("PATCH"), {0x45, 0x4F, 0x45, 0x00, 0x02, edited[EndMark - 1], edited[EndMark]}, Text("EOF")});
    EXPECT_EQ(MakeIps(original, edited), expected);
    EXPECT_EQ(Applied(expected, original, BigLimit), edited);

    // A run starting there, and a long literal whose 0xFFFF-byte cut lands there.
    ByteVector run = original;
    ASSERT_NE(original[EndMark], 0x77);
    std::fill_n(run.begin() + EndMark, 100, 0x77);
    ExpectRoundTrip(original, run, "run at the end mark", BigLimit);
    ByteVector cut = original;
    for (std::size_t i = EndMark - 0xFFFF; i < EndMark + 100; ++i)
        cut[i] = static_cast<std::uint8_t>(original[i] ^ (0x80 | (i & 0x7F)));
    ExpectRoundTrip(original, cut, "literal cut at the end mark", BigLimit);
}

TEST_F(PatchTest, IpsReachesOnly16MiB)
{
    EXPECT_NO_THROW(MakeIps({}, ByteVector(0x1000000, 1)));
    EXPECT_THROW(MakeIps({}, ByteVector(0x1000001, 1)), VxError);
    // A truncation length has three bytes too.
    EXPECT_THROW(MakeIps(ByteVector(0x1000001, 1), ByteVector(0x1000000, 1)), VxError);
}

TEST_F(PatchTest, RefusesWhatIsNoPatch)
{
    const ByteVector image = Sixteen();
    for (const ByteVector& patch : {ByteVector{}, Text("PATC"), Text("XPATCH"), Text("BPS0"), Text("bps1")})
        EXPECT_REFUSED(patch, image, "neither an IPS nor a BPS");
    ByteVector out;
    std::string reason;
    EXPECT_FALSE(ApplyIps(Text("BPS1"), image, Limit, out, reason));
    EXPECT_NE(reason.find("\"PATCH\""), std::string::npos) << reason;
    EXPECT_FALSE(ApplyBps(Text("PATCH"), image, Limit, out, reason));
    EXPECT_NE(reason.find("\"BPS1\""), std::string::npos) << reason;

    ForceLanguage(Language::Japanese);
    EXPECT_EQ(Refusal(Text("XPATCH"), image), "IPS パッチでも BPS パッチでもありません。");
}

TEST_F(PatchTest, RefusesCutIps)
{
    const ByteVector image = Sixteen();
    const ByteVector patch = MakeIps(image, SixteenEdited());
    for (std::size_t length = 5; length < patch.size(); ++length)
        Refusal(ByteVector(patch.begin(), patch.begin() + static_cast<std::ptrdiff_t>(length)), image);
    const ByteVector head = Text("PATCH");
    EXPECT_REFUSED(head, image, "without its \"EOF\"");
    EXPECT_REFUSED(Join({head, {0x00, 0x00, 0x03, 0x00, 0x01, 0xAA}}), image, "without its \"EOF\"");
    // "EO" read as a record's size asks for far more bytes than follow.
    EXPECT_REFUSED(Join({head, {0x00, 0x00, 0x03}, Text("EOF")}), image, "middle of a record");
    EXPECT_REFUSED(Join({head, {0x00, 0x00}}), image, "middle of a record");             // offset
    EXPECT_REFUSED(Join({head, {0x00, 0x00, 0x03, 0x00}}), image, "middle of a record"); // size
    EXPECT_REFUSED(Join({head, {0x00, 0x00, 0x03, 0x00, 0x04, 1, 2, 3}}), image, "middle of a record");
    EXPECT_REFUSED(Join({head, {0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x04}}), image, "middle of a record"); // run
    EXPECT_REFUSED(Join({head, Text("EO")}), image, "middle of a record");
    EXPECT_REFUSED(Join({head, {0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x55}, Text("EOF")}), image, "length 0");
}

TEST_F(PatchTest, RefusesBytesAfterIpsEnd)
{
    const ByteVector image = Sixteen();
    const ByteVector patch = MakeIps(image, SixteenEdited());
    EXPECT_REFUSED(Join({patch, ByteVector(1, 0)}), image, "has 1 unexpected byte after");
    for (std::size_t extra : {2u, 4u, 5u})
        EXPECT_REFUSED(Join({patch, ByteVector(extra, 0)}), image, "unexpected bytes after");
    // Three bytes are a truncation length, which may not grow the image.
    EXPECT_EQ(Applied(Join({patch, {0x00, 0x00, 0x24}}), image), SixteenEdited());
    EXPECT_EQ(Applied(Join({patch, {0x00, 0x00, 0x02}}), image), (ByteVector{0x00, 0x01}));
    EXPECT_REFUSED(Join({patch, {0x00, 0x00, 0x25}}), image, "truncates to 37 bytes");
}

TEST_F(PatchTest, IpsGrowsAndFillsGaps)
{
    // A record past the end grows the image; the bytes between are zero.
    const ByteVector patch = Join({Text("PATCH"), {0x00, 0x00, 0x14, 0x00, 0x01, 0x99}, Text("EOF")});
    ByteVector expected = Sixteen();
    expected.resize(0x15, 0);
    expected[0x14] = 0x99;
    EXPECT_EQ(Applied(patch, Sixteen()), expected);
}

TEST_F(PatchTest, RefusesOutputsOverTheLimit)
{
    const ByteVector image = Sixteen();
    // A run record ending just past the limit, and one ending exactly at it.
    const auto RunTo = [](std::size_t end) {
        const std::size_t offset = end - 0x100;
        return Join({Text("PATCH"),
                     {static_cast<std::uint8_t>(offset >> 16), static_cast<std::uint8_t>(offset >> 8),
                      static_cast<std::uint8_t>(offset), 0x00, 0x00, 0x01, 0x00, 0x11},
                     Text("EOF")});
    };
    EXPECT_REFUSED(RunTo(Limit + 1), image, "more than the limit");
    EXPECT_EQ(Applied(RunTo(Limit), image).size(), Limit);
    EXPECT_NE(Refusal(Join({Text("PATCH"), Text("EOF")}), image, 15).find("limit of 15"), std::string::npos);

    // A BPS's target size is refused before anything is made, however large.
    EXPECT_NE(Refusal(MakeBps(image, SixteenEdited()), image, 35).find("36 bytes, more than the limit of 35"),
              std::string::npos);
    EXPECT_REFUSED(Bps({0x90, 0x00, 0x00, 0x00, 0x00, 0x80, 0x80}, image, {}), image, "270549120 bytes, more than the limit");
}

TEST_F(PatchTest, RefusesDamagedBps)
{
    const ByteVector image = Sixteen();
    const ByteVector patch = MakeBps(image, SixteenEdited());
    EXPECT_REFUSED(Text("BPS1"), image, "too short");
    for (std::size_t at : {std::size_t{5}, patch.size() / 2, patch.size() - 1}) {
        ByteVector damaged = patch;
        damaged[at] ^= 0x10;
        EXPECT_REFUSED(damaged, image, "own checksum does not match");
    }
    EXPECT_REFUSED(ByteVector(patch.begin(), patch.end() - 1), image, "own checksum does not match");

    // A changed literal byte with a correct patch checksum: the result's checksum fails.
    ByteVector target = patch;
    const auto literal = std::find(target.begin(), target.end(), 0xA3);
    ASSERT_NE(literal, target.end());
    *literal = 0xA4;
    Reseal(target);
    EXPECT_REFUSED(target, image, "target checksum");
}

TEST_F(PatchTest, RefusesWrongImageForBps)
{
    const ByteVector patch = MakeBps(Sixteen(), SixteenEdited());
    ByteVector other = Sixteen();
    other[15] ^= 1;
    EXPECT_REFUSED(patch, other, "patch is for another image");
    other.push_back(0);
    EXPECT_REFUSED(patch, other, "for an image of 16 bytes, but the image has 17 bytes");
}

TEST_F(PatchTest, RefusesCutBps)
{
    const ByteVector source = Text("ABCDEFGH"), target = Text("ABCDWXYZ");
    EXPECT_REFUSED(Bps({0x08, 0x08, 0x08}, source, target), source, "middle of a number"); // source size
    EXPECT_REFUSED(Bps({0x88, 0x88, 0x08}, source, target), source, "middle of a number"); // metadata size
    EXPECT_REFUSED(Bps({0x88, 0x88, 0x80, 0x03}, source, target), source, "middle of a number"); // action
    EXPECT_REFUSED(Bps({0x88, 0x88, 0x80, 0x8E}, source, target), source, "middle of a number"); // copy offset
    EXPECT_REFUSED(Bps({0x88, 0x88, 0x80, 0x8C, 0x8D, 'W', 'X'}, source, target), source, "middle of an action's bytes");
    EXPECT_REFUSED(Bps({0x88, 0x88, 0x84, 'a', 'b'}, source, target), source, "metadata runs past");
    EXPECT_REFUSED(Bps({0x88, 0x88, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80}, source, target), source,
                   "too large");
    // Correct: SourceRead 4, TargetRead 4.
    EXPECT_EQ(Applied(Bps({0x88, 0x88, 0x80, 0x8C, 0x8D, 'W', 'X', 'Y', 'Z'}, source, target), source), target);
}

TEST_F(PatchTest, RefusesBpsReadsOutside)
{
    const ByteVector source = Text("ABCDEFGH");
    const ByteVector longer = Text("ABCDEFGHI"), two = Text("AA");
    EXPECT_REFUSED(Bps({0x88, 0x89, 0x80, 0xA0}, source, longer), source, "outside the original");      // SourceRead 9
    EXPECT_REFUSED(Bps({0x88, 0x88, 0x80, 0x82, 0x83}, source, source), source, "outside the original"); // SourceCopy from -1
    EXPECT_REFUSED(Bps({0x88, 0x88, 0x80, 0x86, 0x8E}, source, source), source, "outside the original"); // 2 from +7
    EXPECT_EQ(Applied(Bps({0x88, 0x88, 0x80, 0x86, 0x8C, 0x96, 0x91}, source, Text("GHABCDEF")), source), Text("GHABCDEF"));
    // TargetCopy with nothing written yet, and from the current position onwards.
    EXPECT_REFUSED(Bps({0x88, 0x82, 0x80, 0x87, 0x80}, source, two), source, "outside the output");
    EXPECT_REFUSED(Bps({0x88, 0x82, 0x80, 0x81, 'A', 0x83, 0x82}, source, two), source, "outside the output");
    EXPECT_EQ(Applied(Bps({0x88, 0x82, 0x80, 0x81, 'A', 0x83, 0x80}, source, two), source), two);
}

TEST_F(PatchTest, RefusesBpsOutputOfAnotherSize)
{
    const ByteVector source = Text("ABCDEFGH"), four = Text("ABCD");
    EXPECT_REFUSED(Bps({0x88, 0x84, 0x80, 0x90}, source, four), source, "writes past the target size of 4");
    EXPECT_REFUSED(Bps({0x88, 0x84, 0x80, 0x84}, source, four), source, "produced 2 bytes, not its target size of 4");
    EXPECT_REFUSED(Bps({0x88, 0x84, 0x80}, source, four), source, "produced 0 bytes");
}

} // namespace
