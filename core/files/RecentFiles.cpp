#include "core/files/RecentFiles.h"

#include "core/files/IniFile.h"

#include <algorithm>

namespace vx {
namespace {

constexpr std::string_view Section = "RecentFiles";

std::string keyOf(int index) { return "File" + std::to_string(index + 1); }

bool keepable(const std::string& path) { return !path.empty() && path.find_first_of("\r\n") == std::string::npos; }

} // namespace

void RecentFiles::add(const std::string& path)
{
    if (!keepable(path))
        return;
    remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > static_cast<std::size_t>(Limit))
        paths_.resize(Limit);
}

void RecentFiles::remove(const std::string& path) { std::erase(paths_, path); }

void RecentFiles::load(const IniFile& preferences)
{
    paths_.clear();
    for (int i = 0; i < Limit; ++i) {
        const std::string path = preferences.readString(Section, keyOf(i), "");
        if (keepable(path) && std::find(paths_.begin(), paths_.end(), path) == paths_.end())
            paths_.push_back(path);
    }
}

void RecentFiles::store(IniFile& preferences) const
{
    // Every slot is written, so a shorter list leaves no old entry behind.
    for (int i = 0; i < Limit; ++i)
        preferences.writeString(Section, keyOf(i),
                                static_cast<std::size_t>(i) < paths_.size() ? paths_[static_cast<std::size_t>(i)] : "");
}

} // namespace vx
