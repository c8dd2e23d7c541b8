#include "core/text/Project.h"
#include "core/base/Sha256.h"
#include "core/files/Patch.h"
#include "core/files/PngPicture.h"
#include "core/model/RomImage.h"
#include "core/text/StageText.h"
#include "support/Images.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vx {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

ProjectFiles filesOf(const std::vector<ProjectFile>& unpacked)
{
    ProjectFiles files;
    for (const ProjectFile& file : unpacked)
        files[file.name] = file.bytes;
    return files;
}

ProjectManifest manifestOf(const ProjectFiles& files)
{
    const Bytes& json = files.at(std::string(ProjectManifestName));
    Result<ProjectManifest> read = readProjectManifest(std::string(json.begin(), json.end()), "manifest");
    EXPECT_TRUE(read.ok()) << read.error().text();
    return read.ok() ? read.value() : ProjectManifest{};
}

// Colours 0D and 0F alike, as many colour files have them.
const ConsoleColours& colours()
{
    static const ConsoleColours made = [] {
        ConsoleColours c{};
        for (std::size_t i = 0; i < c.size(); ++i)
            c[i] = static_cast<std::uint32_t>(i * 0x040302);
        c[0x0D] = c[0x0F];
        return c;
    }();
    return made;
}

ProjectFiles unpacked(const Bytes& image, const Bytes& base)
{
    Result<std::vector<ProjectFile>> files =
        unpackProject(test::defaultAddresses(), image, base, "base.nes", "", colours());
    EXPECT_TRUE(files.ok()) << files.error().text();
    return files.ok() ? filesOf(files.value()) : ProjectFiles{};
}

Result<ProjectBuild> built(const ProjectFiles& files, const Bytes& base)
{
    return buildProject(test::defaultAddresses(), manifestOf(files), base, files, colours());
}

// One stage's text with its map's first byte changed.
Bytes withMapEdit(const Bytes& json)
{
    Result<StageText> text = readStageText(std::string(json.begin(), json.end()), "text");
    EXPECT_TRUE(text.ok());
    text.value().map[0] ^= 0x01;
    return bytesOf(stageTextToJson(text.value()));
}

TEST(Sha256Test, KnownDigestsAcrossBlockEdges)
{
    EXPECT_EQ(sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex(bytesOf("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the first padded block.
    EXPECT_EQ(sha256Hex(bytesOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(sha256Hex(Bytes(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(ProjectTest, UnpackThenBuildGivesEveryByteBack)
{
    const Bytes& base = test::sampleBytes();
    const AddressData& addresses = test::defaultAddresses();
    Bytes image = base;
    image[addresses.address(TableKey::Map, 3)] ^= 0x05;                 // a table a text sets
    image[addresses.address(TableKey::PatternTableSetting, 2)] ^= 0x01; // a table no text may change
    image[0x21010] ^= 0xFF;                                             // tiles: no table
    image[addresses.address(TableKey::BGPalette, 1)] = 0x0D;            // 0F's colour: the name keeps it
    image[addresses.address(TableKey::SpritePalette, 1) + 5] = 0x4F;    // no console colour
    image[image.size() - 1] ^= 0x80;
    std::vector<std::pair<std::string, Bytes>> images{{"edited sample", image}, {"sample", base}};
    const std::filesystem::path real = VX_TESTDATA_DIR "/nes-test-roms";
    if (std::filesystem::is_directory(real))
        for (const auto& entry : std::filesystem::directory_iterator(real))
            if (entry.path().extension() == ".nes")
                images.emplace_back(entry.path().filename().string(), test::readBytes(entry.path().string()));
    for (const auto& [name, bytes] : images) {
        // Against a base that differs everywhere now and then, inside tables and out.
        Bytes other = bytes;
        for (std::size_t i = 16; i < other.size(); i += 97)
            other[i] = static_cast<std::uint8_t>(other[i] + 1);
        const Bytes& from = name.find("sample") != std::string::npos ? base : other;
        const ProjectFiles files = unpacked(bytes, from);
        Result<ProjectBuild> build = built(files, from);
        ASSERT_TRUE(build.ok()) << name << ": " << build.error().text();
        EXPECT_TRUE(build.value().image == bytes) << name;
        EXPECT_EQ(build.value().outputSha256, sha256Hex(bytes)) << name;
        if (name == "sample") {
            EXPECT_EQ(files.size(), 15u) << "no patch when the image is its base";
        }
        if (name == "edited sample") {
            EXPECT_TRUE(files.contains("palettes/stage-01.gpl"));
            ProjectFiles without = files;
            ProjectManifest manifest = manifestOf(files);
            std::erase_if(manifest.steps,
                          [](const ProjectStep& step) { return step.kind == ProjectStepKind::Palette; });
            without[std::string(ProjectManifestName)] = bytesOf(projectManifestToJson(manifest));
            Result<ProjectBuild> refused = built(without, from);
            ASSERT_FALSE(refused.ok());
            EXPECT_EQ(refused.error().text(),
                      "stage-01.json leaves its palettes to palettes/stage-01.gpl, which the project does not name");
        }
    }
}

TEST(ProjectTest, ASharedTableLivesInTheLowestStagesFileAndAnEditThereVerifies)
{
    const Bytes& base = test::sampleBytes();
    ProjectFiles files = unpacked(base, base);
    // Stage 8 reads stage 0's map in the sample: its file names stage 0's for it.
    const Bytes partner = files.at("stage-08.json");
    const std::string partnerText(partner.begin(), partner.end());
    const std::size_t rooms = partnerText.find(R"("rooms": {"in": "stage-00.json"})");
    ASSERT_NE(rooms, std::string::npos);
    Result<StageText> misnamed = readStageText(std::string(partnerText).replace(rooms + 23, 2, "01"), "stage-08.json");
    ASSERT_FALSE(misnamed.ok());
    EXPECT_EQ(misnamed.error().path, "/rooms/in");

    files["stage-00.json"] = withMapEdit(files.at("stage-00.json"));
    Result<ProjectBuild> build = built(files, base);
    ASSERT_TRUE(build.ok()) << build.error().text();
    EXPECT_EQ(build.value().summary.size(), 1u) << ::testing::PrintToString(build.value().summary);
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(build.value().image, "built.nes").ok());
    EXPECT_EQ(rom.stage(8).map()[0], base[test::defaultAddresses().address(TableKey::Map, 0)] ^ 0x01);
    Result<std::vector<ProjectFile>> again =
        unpackProject(test::defaultAddresses(), build.value().image, base, "base.nes", "", colours());
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(projectDifferences(again.value(), files).empty()) << "the partner's text stays as it was";
    files["stage-08.json"] = withMapEdit(files.at("stage-00.json"));
    files["notes.json"] = {};
    files.erase("stage-0D.json");
    const std::vector<std::string> differences = projectDifferences(again.value(), files);
    ASSERT_EQ(differences.size(), 3u) << ::testing::PrintToString(differences);
    EXPECT_EQ(differences[0].rfind("stage-08.json differs from line ", 0), 0u) << differences[0];
    // A partner's text holding the shared tables whole is named table by table, as diff names places.
    files["stage-08.json"] = bytesOf(stageToText(rom, 8));
    EXPECT_EQ(
        projectDifferences(again.value(), files)[0],
        "stage-08.json: stage 08 chips: what unpack writes names another file for the table, the folder holds it");
}

TEST(ProjectTest, ATilePictureHoldsChangedTilesAndAPaintedPixelBuildsAndVerifies)
{
    const Bytes& base = test::sampleBytes();
    Bytes image = base;
    image[0x21010] ^= 0xFF;
    ProjectFiles files = unpacked(image, base);
    const std::string name = "tiles/stage-00-background.png";
    ASSERT_TRUE(files.contains(name)) << ::testing::PrintToString(manifestOf(files).steps.size());
    EXPECT_FALSE(files.contains("patches/outside.ips")) << "the picture carries the tile";

    Result<PngPicture> picture = decodePng(files.at(name));
    ASSERT_TRUE(picture.ok());
    std::vector<std::uint8_t> indices = picture.value().indices;
    const std::vector<std::uint32_t> palette = picture.value().palette;
    indices[8 * 128 + 9] ^= 3; // a pixel of tile 11, far from the changed byte's tile
    files[name] = encodeIndexedPng(128, 128, indices, palette);
    Result<ProjectBuild> build = built(files, base);
    ASSERT_TRUE(build.ok()) << build.error().text();
    EXPECT_NE(build.value().image, image);
    EXPECT_EQ(build.value().summary.back(), name + ": 3 bytes") << "the hack's byte, both planes of the pixel";
    Result<std::vector<ProjectFile>> again =
        unpackProject(test::defaultAddresses(), build.value().image, base, "base.nes", "", colours());
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(projectDifferences(again.value(), files).empty());

    indices[0] = 3;
    std::vector<std::uint32_t> five(palette);
    five.push_back(0x123456);
    indices[1] = 4;
    files[name] = encodeIndexedPng(128, 128, indices, five);
    build = built(files, base);
    ASSERT_FALSE(build.ok());
    EXPECT_EQ(build.error().text().rfind(name + ": ", 0), 0u) << build.error().text();
}

TEST(ProjectTest, RefusesAnotherBaseAndAPatchIntoATableATextSets)
{
    const Bytes& base = test::sampleBytes();
    const AddressData& addresses = test::defaultAddresses();
    ProjectFiles files = unpacked(base, base);
    Bytes other = base;
    other[0x21010] ^= 1;
    Result<ProjectBuild> build = built(files, other);
    ASSERT_FALSE(build.ok());
    EXPECT_NE(build.error().text().find(sha256Hex(base)), std::string::npos);
    EXPECT_NE(build.error().text().find(sha256Hex(other)), std::string::npos);

    // A patch writing stage 0's map, which the texts hold as the base has it.
    Bytes patched = base;
    const auto map = static_cast<std::size_t>(addresses.address(TableKey::Map, 0));
    patched[map + 1] ^= 0x01;
    Result<MadePatch> patch = makePatchBetween(base, patched, PatchFormat::Ips);
    ASSERT_TRUE(patch.ok());
    files["patches/mine.ips"] = patch.value().bytes;
    ProjectManifest manifest = manifestOf(files);
    manifest.steps.insert(manifest.steps.begin(), {ProjectStepKind::Patch, "patches/mine.ips"});
    files[std::string(ProjectManifestName)] = bytesOf(projectManifestToJson(manifest));
    build = built(files, base);
    ASSERT_FALSE(build.ok());
    for (const std::string& part : {std::string("patches/mine.ips"), std::string("stage-00.json"),
                                    std::string("Map of stage 00"), std::string("0x")})
        EXPECT_NE(build.error().text().find(part), std::string::npos) << build.error().text();
}

} // namespace
} // namespace vx
