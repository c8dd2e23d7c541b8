// Any bytes as a patch against a small fixed image: nothing may be read or written outside
// a buffer, a refusal always says why, an applied patch never exceeds the limit, and the
// patch made back from its output applies to the same bytes.
//
// Input: [mode: 1 byte][bytes]. Mode 0 applies the bytes as they are; mode 1 puts "PATCH"
// before them; mode 2 wraps them as a BPS body with the image's and the patch's checksums
// right, so that the numbers and actions are reached rather than refused by a checksum.
#include "core/files/Patch.h"

#include <cstdlib>
#include <zlib.h>

using namespace vx;

namespace {

constexpr std::size_t ImageSize = 64;
constexpr std::size_t Limit = 256;

void appendLittle32(std::vector<std::uint8_t>& bytes, unsigned long value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void expectRoundTrip(PatchFormat format, const std::vector<std::uint8_t>& image,
                     const std::vector<std::uint8_t>& edited)
{
    const std::vector<std::uint8_t> patch = makePatch(format, image, edited);
    const Result<std::vector<std::uint8_t>> again = applyPatch(patch, image, Limit);
    if (!again.ok() || again.value() != edited)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    std::vector<std::uint8_t> image(ImageSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 37 + 11);

    std::vector<std::uint8_t> patch;
    switch (data[0] % 3) {
    case 1: patch.assign({'P', 'A', 'T', 'C', 'H'}); break;
    case 2: patch.assign({'B', 'P', 'S', '1'}); break;
    default: break;
    }
    patch.insert(patch.end(), data + 1, data + size);
    if (data[0] % 3 == 2) {
        appendLittle32(patch, crc32_z(0, image.data(), image.size()));
        // The input cannot know the target's checksum, so these end refused after the actions.
        appendLittle32(patch, 0);
        appendLittle32(patch, crc32_z(0, patch.data(), patch.size()));
    }

    const Result<std::vector<std::uint8_t>> applied = applyPatch(patch, image, Limit);
    if (!applied.ok()) {
        if (applied.error().message.empty())
            std::abort();
        return 0;
    }
    const std::vector<std::uint8_t>& out = applied.value();
    if (out.size() > Limit)
        std::abort();
    expectRoundTrip(PatchFormat::Ips, image, out);
    expectRoundTrip(PatchFormat::Bps, image, out);
    return 0;
}
