#include "core/model/ImageAccess.h"

#include <cstring>

namespace vx {

bool rangeInside(std::int64_t address, std::int64_t length, std::int64_t imageSize)
{
    return address >= 0 && length >= 0 && address <= imageSize && length <= imageSize - address;
}

void readFromImage(const std::vector<std::uint8_t>& image, std::int64_t address, std::span<std::uint8_t> out)
{
    const auto size = static_cast<std::int64_t>(image.size());
    if (rangeInside(address, static_cast<std::int64_t>(out.size()), size)) {
        if (!out.empty())
            std::memcpy(out.data(), image.data() + address, out.size());
        return;
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::int64_t at = address + static_cast<std::int64_t>(i);
        out[i] = at >= 0 && at < size ? image[static_cast<std::size_t>(at)] : 0;
    }
}

void writeToImage(std::vector<std::uint8_t>& image, std::int64_t address, std::span<const std::uint8_t> bytes)
{
    const auto size = static_cast<std::int64_t>(image.size());
    if (rangeInside(address, static_cast<std::int64_t>(bytes.size()), size)) {
        if (!bytes.empty())
            std::memcpy(image.data() + address, bytes.data(), bytes.size());
        return;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::int64_t at = address + static_cast<std::int64_t>(i);
        if (at >= 0 && at < size)
            image[static_cast<std::size_t>(at)] = bytes[i];
    }
}

std::uint8_t imageByte(const std::vector<std::uint8_t>& image, std::int64_t address)
{
    return address >= 0 && address < static_cast<std::int64_t>(image.size()) ? image[static_cast<std::size_t>(address)]
                                                                             : 0;
}

void setImageByte(std::vector<std::uint8_t>& image, std::int64_t address, std::uint8_t value)
{
    if (address >= 0 && address < static_cast<std::int64_t>(image.size()))
        image[static_cast<std::size_t>(address)] = value;
}

} // namespace vx
