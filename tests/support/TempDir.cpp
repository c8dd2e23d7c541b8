#include "tests/support/TempDir.h"

#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace vx::test {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vxtest.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    // Tests may have made the folder read-only.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void writeFile(const std::string& path, const std::string& text)
{
    writeOutputFile(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) { writeOutputFile(path, bytes); }

// Read with the widest limit of the reading path (a patch's), so any fixture fits.
std::vector<std::uint8_t> readBytes(const std::string& path) { return readInputFile(path, InputKind::Patch); }

std::string readText(const std::string& path)
{
    const auto bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace vx::test
