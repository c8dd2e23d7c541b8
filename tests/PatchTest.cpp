#include "core/files/Patch.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "core/model/RomImage.h"
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
    void SetUp() override { forceLanguage(Language::English); }
    void TearDown() override { forceLanguage(std::nullopt); }
};

ByteVector text(const std::string& text) { return ByteVector(text.begin(), text.end()); }

ByteVector join(std::initializer_list<ByteVector> parts)
{
    ByteVector all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

void appendLittle32(ByteVector& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t crc(const ByteVector& bytes)
{
    return static_cast<std::uint32_t>(crc32_z(0, bytes.data(), bytes.size()));
}

// A BPS from hand-made numbers and actions, with correct checksums, so that only what the
// test breaks is broken.
ByteVector bps(const ByteVector& body, const ByteVector& source, const ByteVector& target)
{
    ByteVector patch = join({text("BPS1"), body});
    appendLittle32(patch, crc(source));
    appendLittle32(patch, crc(target));
    appendLittle32(patch, crc(patch));
    return patch;
}

// Recomputes a BPS patch's own checksum after a test changed its bytes.
void reseal(ByteVector& patch)
{
    patch.resize(patch.size() - 4);
    appendLittle32(patch, crc(patch));
}

ByteVector applied(const ByteVector& patch, const ByteVector& image, std::size_t maxSize = Limit)
{
    Result<ByteVector> out = applyPatch(patch, image, maxSize);
    EXPECT_TRUE(out.ok()) << out.error().message;
    return out.ok() ? out.value() : ByteVector{};
}

// The reason of a refusal.
std::string refusal(const ByteVector& patch, const ByteVector& image, std::size_t maxSize = Limit)
{
    const Result<ByteVector> out = applyPatch(patch, image, maxSize);
    EXPECT_FALSE(out.ok());
    if (out.ok())
        return {};
    EXPECT_FALSE(out.error().message.empty());
    return out.error().message;
}

#define EXPECT_REFUSED(patch, image, text)                                                                             \
    do {                                                                                                               \
        const std::string reason_ = refusal(patch, image);                                                             \
        EXPECT_NE(reason_.find(text), std::string::npos) << "reason: " << reason_;                                     \
    } while (false)

// Scattered edits: short stretches of random bytes and runs of one byte.
ByteVector withEdits(ByteVector bytes, unsigned seed, std::size_t count)
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

ByteVector sixteen()
{
    ByteVector bytes(16);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

// sixteen() with bytes 3 and 9 changed and twenty 55s after it.
ByteVector sixteenEdited()
{
    ByteVector bytes = sixteen();
    bytes[3] = 0xA3;
    bytes[9] = 0xB9;
    bytes.insert(bytes.end(), 20, 0x55);
    return bytes;
}

void expectRoundTrip(const ByteVector& original, const ByteVector& edited, const std::string& what,
                     std::size_t maxSize = Limit)
{
    for (PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps}) {
        const ByteVector patch = makePatch(format, original, edited);
        EXPECT_EQ(patchFormatOfBytes(patch), format);
        EXPECT_TRUE(applied(patch, original, maxSize) == edited)
            << what << (format == PatchFormat::Ips ? " (IPS)" : " (BPS)");
    }
}

TEST_F(PatchTest, KnownIps)
{
    const ByteVector expected = join({text("PATCH"),
                                      {0x00, 0x00, 0x03, 0x00, 0x01, 0xA3},
                                      {0x00, 0x00, 0x09, 0x00, 0x01, 0xB9},
                                      // The run past the original's end as one run record.
                                      {0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x14, 0x55},
                                      text("EOF")});
    std::size_t records = 0;
    EXPECT_EQ(makeIps(sixteen(), sixteenEdited(), &records), expected);
    EXPECT_EQ(records, 3u);
    EXPECT_EQ(applied(expected, sixteen()), sixteenEdited());
}

TEST_F(PatchTest, KnownIpsTruncates)
{
    ByteVector edited = sixteen();
    edited.resize(12);
    edited[5] = 0x77;
    const ByteVector expected =
        join({text("PATCH"), {0x00, 0x00, 0x05, 0x00, 0x01, 0x77}, text("EOF"), {0x00, 0x00, 0x0C}});
    EXPECT_EQ(makeIps(sixteen(), edited), expected);
    EXPECT_EQ(applied(expected, sixteen()), edited);
}

TEST_F(PatchTest, KnownBps)
{
    const ByteVector expected = {'B',  'P',  'S',  '1',  0x90, 0xA4, 0x80, // source 16, target 36, no metadata
                                 0x88,                                     // SourceRead 3
                                 0x81, 0xA3,                               // TargetRead 1
                                 0x90,                                     // SourceRead 5
                                 0x81, 0xB9,                               // TargetRead 1
                                 0x94,                                     // SourceRead 6
                                 0x81, 0x55,                               // TargetRead 1
                                 0xCB, 0xA0,                               // TargetCopy 19 from 16, one byte back
                                 0x88, 0xE2, 0xCE, 0xCE,                   // source CRC32
                                 0xDC, 0x6F, 0x63, 0x13,                   // target CRC32
                                 0x86, 0x31, 0xEE, 0x2E};                  // patch CRC32
    std::size_t actions = 0;
    EXPECT_EQ(makeBps(sixteen(), sixteenEdited(), &actions), expected);
    EXPECT_EQ(actions, 7u);
    EXPECT_EQ(applied(expected, sixteen()), sixteenEdited());
}

TEST_F(PatchTest, BpsNumbersCarryTheirOffset)
{
    // 300 is 0x2C, then (300 >> 7) - 1 = 1 as the last byte.
    const ByteVector patch = makeBps({}, ByteVector(300, 0x42));
    ASSERT_GE(patch.size(), 8u);
    EXPECT_EQ(ByteVector(patch.begin() + 4, patch.begin() + 8), (ByteVector{0x80, 0x2C, 0x81, 0x80}));
    EXPECT_EQ(applied(patch, {}), ByteVector(300, 0x42));
}

TEST_F(PatchTest, BpsSourceCopyAndMetadata)
{
    const ByteVector source = text("ABCDEFGH"), target = text("EFGHABCD");
    // Metadata "xyz", SourceCopy 4 from +4, SourceCopy 4 from -8 (back to the start).
    const ByteVector patch = bps({0x88, 0x88, 0x83, 'x', 'y', 'z', 0x8E, 0x88, 0x8E, 0x91}, source, target);
    EXPECT_EQ(applied(patch, source), target);
}

TEST_F(PatchTest, FormatOfPath)
{
    EXPECT_EQ(patchFormatOfPath("fix.ips"), PatchFormat::Ips);
    EXPECT_EQ(patchFormatOfPath("dir.bps/Fix.IPS"), PatchFormat::Ips);
    EXPECT_EQ(patchFormatOfPath("fix.Bps"), PatchFormat::Bps);
    EXPECT_EQ(patchFormatOfPath("fix.ips.txt"), std::nullopt);
    EXPECT_EQ(patchFormatOfPath("fixips"), std::nullopt);
    EXPECT_EQ(patchFormatOfPath("fix.ups"), std::nullopt);
    EXPECT_EQ(patchFormatOfPath(""), std::nullopt);
}

TEST_F(PatchTest, UnchangedImages)
{
    const ByteVector image = test::randomImage(MinImageSize, 1);
    EXPECT_EQ(makeIps(image, image), join({text("PATCH"), text("EOF")}));
    expectRoundTrip(image, image, "unchanged");
    expectRoundTrip({}, {}, "empty");
}

// The editor's and the tool's patch: refused for another length, for no change and past
// what IPS addresses; otherwise the format's own patch with its count.
TEST_F(PatchTest, PatchBetweenImagesRefusesWhatNeedsNoPatch)
{
    const ByteVector image = sixteen();
    ByteVector edited = image;
    edited[3] = 0xA3;
    for (PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps}) {
        std::size_t records = 0;
        const Result<MadePatch> made = makePatchBetween(image, edited, format);
        ASSERT_TRUE(made.ok()) << made.error().message;
        EXPECT_EQ(made.value().bytes, makePatch(format, image, edited, &records));
        EXPECT_EQ(made.value().records, records);

        const Result<MadePatch> longer = makePatchBetween(image, sixteenEdited(), format);
        ASSERT_FALSE(longer.ok());
        EXPECT_NE(longer.error().message.find("(16 bytes) and the open image (36 bytes) differ in length"),
                  std::string::npos)
            << longer.error().message;
        const Result<MadePatch> same = makePatchBetween(image, image, format);
        ASSERT_FALSE(same.ok());
        EXPECT_EQ(same.error().message, "The open image is the same as the original: no patch was made.");
    }
    EXPECT_TRUE(checkPatchable(image, edited).ok());
    EXPECT_EQ(checkPatchable({}, {}).error(), makePatchBetween(image, image, PatchFormat::Ips).error());
    forceLanguage(Language::Japanese);
    EXPECT_EQ(checkPatchable(image, ByteVector(20)).error().message,
              "元のイメージ (16 バイト) は開いているイメージ (20 バイト) と長さが違い"
              "ます。"
              "パッチは同じ長さのイメージの間で作成します。");
    forceLanguage(Language::English);
    ByteVector huge(0x1000001, 1);
    const ByteVector original = huge;
    huge.back() = 2;
    const Result<MadePatch> tooFar = makePatchBetween(original, huge, PatchFormat::Ips);
    ASSERT_FALSE(tooFar.ok());
    EXPECT_NE(tooFar.error().message.find("only 16 MiB"), std::string::npos) << tooFar.error().message;
}

TEST_F(PatchTest, RoundTripsAtBothSizeLimits)
{
    for (std::size_t size : {static_cast<std::size_t>(MinImageSize), Limit}) {
        const ByteVector original = test::randomImage(size, 7);
        const ByteVector edited = withEdits(original, 8, 300);
        expectRoundTrip(original, edited, "size " + std::to_string(size));
        // Scattered edits make a patch far smaller than the image.
        EXPECT_LT(makeIps(original, edited).size(), 20000u);
        EXPECT_LT(makeBps(original, edited).size(), 20000u);
        // The very first and last bytes.
        ByteVector ends = original;
        ends.front() ^= 0xFF;
        ends.back() ^= 0xFF;
        expectRoundTrip(original, ends, "first and last byte");
    }
}

TEST_F(PatchTest, RoundTripsWithOtherLengths)
{
    const ByteVector small = test::randomImage(MinImageSize, 11);
    ByteVector longer = withEdits(small, 12, 100);
    const ByteVector tail = test::randomImage(5000, 13);
    longer.insert(longer.end(), tail.begin(), tail.end());
    expectRoundTrip(small, longer, "longer");

    ByteVector largest = withEdits(small, 14, 100);
    largest.resize(Limit, 0);
    expectRoundTrip(small, largest, "longer up to the limit");

    const ByteVector large = test::randomImage(Limit, 15);
    ByteVector shorter = withEdits(large, 16, 100);
    shorter.resize(MinImageSize);
    expectRoundTrip(large, shorter, "shorter");
    expectRoundTrip(large, {}, "empty");
    expectRoundTrip({}, small, "from nothing");
}

TEST_F(PatchTest, RunsMakeSmallPatches)
{
    const ByteVector image = test::randomImage(MinImageSize, 21);
    ByteVector grown = image;
    grown.resize(image.size() + 0x10000, 0);
    // A run record of FFFF bytes (the most a record holds) and a literal of the last byte;
    // one literal byte and one copy.
    EXPECT_EQ(makeIps(image, grown).size(), 5u + 8u + 6u + 3u);
    EXPECT_LT(makeBps(image, grown).size(), 40u);
    expectRoundTrip(image, grown, "grown by zeros");

    ByteVector filled = image;
    std::fill(filled.begin() + 0x1000, filled.begin() + 0x3000, 0xFF);
    EXPECT_EQ(makeIps(image, filled).size(), 5u + 8u + 3u);
    EXPECT_LT(makeBps(image, filled).size(), 40u);
    expectRoundTrip(image, filled, "filled");
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
            images.push_back(test::readBytes(entry.path().string()));
    ASSERT_EQ(images.size(), 3u);
    unsigned seed = 30;
    for (std::size_t k = 0; k < images.size(); ++k) {
        const ByteVector& image = images[k];
        const ByteVector edited = withEdits(image, ++seed, 50);
        ASSERT_NE(edited, image);
        expectRoundTrip(image, edited, "real image " + std::to_string(k));
        // A BPS made for one image refuses the others, by size or by checksum.
        const ByteVector& other = images[(k + 1) % images.size()];
        const std::string reason = refusal(makeBps(image, edited), other);
        EXPECT_TRUE(reason.find("bytes, but the image has") != std::string::npos ||
                    reason.find("patch is for another image") != std::string::npos)
            << reason;
    }
}

TEST_F(PatchTest, RecordAtTheEndMarkOffset)
{
    constexpr std::size_t EndMark = 0x454F46, Size = 0x460000, BigLimit = 0x500000;
    const ByteVector original = test::randomImage(Size, 41);
    ByteVector edited = original;
    edited[EndMark] ^= 0x5A;
    // The record starts one byte earlier and carries that unchanged byte along.
    const ByteVector expected =
        join({text("PATCH"), {0x45, 0x4F, 0x45, 0x00, 0x02, edited[EndMark - 1], edited[EndMark]}, text("EOF")});
    EXPECT_EQ(makeIps(original, edited), expected);
    EXPECT_EQ(applied(expected, original, BigLimit), edited);

    // A run starting there, and a long literal whose 0xFFFF-byte cut lands there.
    ByteVector run = original;
    ASSERT_NE(original[EndMark], 0x77);
    std::fill_n(run.begin() + EndMark, 100, 0x77);
    expectRoundTrip(original, run, "run at the end mark", BigLimit);
    ByteVector cut = original;
    for (std::size_t i = EndMark - 0xFFFF; i < EndMark + 100; ++i)
        cut[i] = static_cast<std::uint8_t>(original[i] ^ (0x80 | (i & 0x7F)));
    expectRoundTrip(original, cut, "literal cut at the end mark", BigLimit);
}

TEST_F(PatchTest, IpsReachesOnly16MiB)
{
    EXPECT_NO_THROW(makeIps({}, ByteVector(0x1000000, 1)));
    EXPECT_THROW(makeIps({}, ByteVector(0x1000001, 1)), UserError);
    // A truncation length has three bytes too.
    EXPECT_THROW(makeIps(ByteVector(0x1000001, 1), ByteVector(0x1000000, 1)), UserError);
}

TEST_F(PatchTest, RefusesWhatIsNoPatch)
{
    const ByteVector image = sixteen();
    for (const ByteVector& patch : {ByteVector{}, text("PATC"), text("XPATCH"), text("BPS0"), text("bps1")})
        EXPECT_REFUSED(patch, image, "neither an IPS nor a BPS");
    const Result<ByteVector> ips = applyIps(text("BPS1"), image, Limit);
    ASSERT_FALSE(ips.ok());
    EXPECT_NE(ips.error().message.find("\"PATCH\""), std::string::npos) << ips.error().message;
    const Result<ByteVector> bps = applyBps(text("PATCH"), image, Limit);
    ASSERT_FALSE(bps.ok());
    EXPECT_NE(bps.error().message.find("\"BPS1\""), std::string::npos) << bps.error().message;

    forceLanguage(Language::Japanese);
    EXPECT_EQ(refusal(text("XPATCH"), image), "IPS パッチでも BPS パッチでもありません。");
}

TEST_F(PatchTest, RefusesCutIps)
{
    const ByteVector image = sixteen();
    const ByteVector patch = makeIps(image, sixteenEdited());
    for (std::size_t length = 5; length < patch.size(); ++length)
        refusal(ByteVector(patch.begin(), patch.begin() + static_cast<std::ptrdiff_t>(length)), image);
    const ByteVector head = text("PATCH");
    EXPECT_REFUSED(head, image, "without its \"EOF\"");
    EXPECT_REFUSED(join({head, {0x00, 0x00, 0x03, 0x00, 0x01, 0xAA}}), image, "without its \"EOF\"");
    // "EO" read as a record's size asks for far more bytes than follow.
    EXPECT_REFUSED(join({head, {0x00, 0x00, 0x03}, text("EOF")}), image, "middle of a record");
    EXPECT_REFUSED(join({head, {0x00, 0x00}}), image, "middle of a record");             // offset
    EXPECT_REFUSED(join({head, {0x00, 0x00, 0x03, 0x00}}), image, "middle of a record"); // size
    EXPECT_REFUSED(join({head, {0x00, 0x00, 0x03, 0x00, 0x04, 1, 2, 3}}), image, "middle of a record");
    EXPECT_REFUSED(join({head, {0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x04}}), image, "middle of a record"); // run
    EXPECT_REFUSED(join({head, text("EO")}), image, "middle of a record");
    EXPECT_REFUSED(join({head, {0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x55}, text("EOF")}), image, "length 0");
}

TEST_F(PatchTest, RefusesBytesAfterIpsEnd)
{
    const ByteVector image = sixteen();
    const ByteVector patch = makeIps(image, sixteenEdited());
    EXPECT_REFUSED(join({patch, ByteVector(1, 0)}), image, "has 1 unexpected byte after");
    for (std::size_t extra : {2u, 4u, 5u})
        EXPECT_REFUSED(join({patch, ByteVector(extra, 0)}), image, "unexpected bytes after");
    // Three bytes are a truncation length, which may not grow the image.
    EXPECT_EQ(applied(join({patch, {0x00, 0x00, 0x24}}), image), sixteenEdited());
    EXPECT_EQ(applied(join({patch, {0x00, 0x00, 0x02}}), image), (ByteVector{0x00, 0x01}));
    EXPECT_REFUSED(join({patch, {0x00, 0x00, 0x25}}), image, "truncates to 37 bytes");
}

TEST_F(PatchTest, IpsGrowsAndFillsGaps)
{
    // A record past the end grows the image; the bytes between are zero.
    const ByteVector patch = join({text("PATCH"), {0x00, 0x00, 0x14, 0x00, 0x01, 0x99}, text("EOF")});
    ByteVector expected = sixteen();
    expected.resize(0x15, 0);
    expected[0x14] = 0x99;
    EXPECT_EQ(applied(patch, sixteen()), expected);
}

TEST_F(PatchTest, RefusesOutputsOverTheLimit)
{
    const ByteVector image = sixteen();
    // A run record ending just past the limit, and one ending exactly at it.
    const auto runTo = [](std::size_t end) {
        const std::size_t offset = end - 0x100;
        return join({text("PATCH"),
                     {static_cast<std::uint8_t>(offset >> 16), static_cast<std::uint8_t>(offset >> 8),
                      static_cast<std::uint8_t>(offset), 0x00, 0x00, 0x01, 0x00, 0x11},
                     text("EOF")});
    };
    EXPECT_REFUSED(runTo(Limit + 1), image, "more than the limit");
    EXPECT_EQ(applied(runTo(Limit), image).size(), Limit);
    EXPECT_NE(refusal(join({text("PATCH"), text("EOF")}), image, 15).find("limit of 15"), std::string::npos);

    // A BPS's target size is refused before anything is made, however large.
    EXPECT_NE(refusal(makeBps(image, sixteenEdited()), image, 35).find("36 bytes, more than the limit of 35"),
              std::string::npos);
    EXPECT_REFUSED(bps({0x90, 0x00, 0x00, 0x00, 0x00, 0x80, 0x80}, image, {}), image,
                   "270549120 bytes, more than the limit");
}

TEST_F(PatchTest, RefusesDamagedBps)
{
    const ByteVector image = sixteen();
    const ByteVector patch = makeBps(image, sixteenEdited());
    EXPECT_REFUSED(text("BPS1"), image, "too short");
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
    reseal(target);
    EXPECT_REFUSED(target, image, "target checksum");
}

TEST_F(PatchTest, RefusesWrongImageForBps)
{
    const ByteVector patch = makeBps(sixteen(), sixteenEdited());
    ByteVector other = sixteen();
    other[15] ^= 1;
    EXPECT_REFUSED(patch, other, "patch is for another image");
    other.push_back(0);
    EXPECT_REFUSED(patch, other, "for an image of 16 bytes, but the image has 17 bytes");
}

TEST_F(PatchTest, RefusesCutBps)
{
    const ByteVector source = text("ABCDEFGH"), target = text("ABCDWXYZ");
    EXPECT_REFUSED(bps({0x08, 0x08, 0x08}, source, target), source, "middle of a number");       // source size
    EXPECT_REFUSED(bps({0x88, 0x88, 0x08}, source, target), source, "middle of a number");       // metadata size
    EXPECT_REFUSED(bps({0x88, 0x88, 0x80, 0x03}, source, target), source, "middle of a number"); // action
    EXPECT_REFUSED(bps({0x88, 0x88, 0x80, 0x8E}, source, target), source, "middle of a number"); // copy offset
    EXPECT_REFUSED(bps({0x88, 0x88, 0x80, 0x8C, 0x8D, 'W', 'X'}, source, target), source,
                   "middle of an action's bytes");
    EXPECT_REFUSED(bps({0x88, 0x88, 0x84, 'a', 'b'}, source, target), source, "metadata runs past");
    EXPECT_REFUSED(bps({0x88, 0x88, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80}, source, target), source,
                   "too large");
    // Correct: SourceRead 4, TargetRead 4.
    EXPECT_EQ(applied(bps({0x88, 0x88, 0x80, 0x8C, 0x8D, 'W', 'X', 'Y', 'Z'}, source, target), source), target);
}

TEST_F(PatchTest, RefusesBpsReadsOutside)
{
    const ByteVector source = text("ABCDEFGH");
    const ByteVector longer = text("ABCDEFGHI"), two = text("AA");
    EXPECT_REFUSED(bps({0x88, 0x89, 0x80, 0xA0}, source, longer), source, "outside the original"); // SourceRead 9
    EXPECT_REFUSED(bps({0x88, 0x88, 0x80, 0x82, 0x83}, source, source), source,
                   "outside the original"); // SourceCopy from -1
    EXPECT_REFUSED(bps({0x88, 0x88, 0x80, 0x86, 0x8E}, source, source), source, "outside the original"); // 2 from +7
    EXPECT_EQ(applied(bps({0x88, 0x88, 0x80, 0x86, 0x8C, 0x96, 0x91}, source, text("GHABCDEF")), source),
              text("GHABCDEF"));
    // TargetCopy with nothing written yet, and from the current position onwards.
    EXPECT_REFUSED(bps({0x88, 0x82, 0x80, 0x87, 0x80}, source, two), source, "outside the output");
    EXPECT_REFUSED(bps({0x88, 0x82, 0x80, 0x81, 'A', 0x83, 0x82}, source, two), source, "outside the output");
    EXPECT_EQ(applied(bps({0x88, 0x82, 0x80, 0x81, 'A', 0x83, 0x80}, source, two), source), two);
}

TEST_F(PatchTest, RefusesBpsOutputOfAnotherSize)
{
    const ByteVector source = text("ABCDEFGH"), four = text("ABCD");
    EXPECT_REFUSED(bps({0x88, 0x84, 0x80, 0x90}, source, four), source, "writes past the target size of 4");
    EXPECT_REFUSED(bps({0x88, 0x84, 0x80, 0x84}, source, four), source, "produced 2 bytes, not its target size of 4");
    EXPECT_REFUSED(bps({0x88, 0x84, 0x80}, source, four), source, "produced 0 bytes");
}

} // namespace
