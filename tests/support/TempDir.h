#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vx::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void writeFile(const std::string& path, const std::string& text);
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
// Through the program's own reading and writing paths; they throw UserError.
std::vector<std::uint8_t> readBytes(const std::string& path);
std::string readText(const std::string& path);

} // namespace vx::test
