#include "core/RecentFiles.h"

#include "core/MyIniFiles.h"

#include <algorithm>

namespace vx {
namespace {

constexpr std::string_view Section = "RecentFiles";

std::string KeyOf(int index) { return "File" + std::to_string(index + 1); }

bool Keepable(const std::string& path)
{
    return !path.empty() && path.find_first_of("\r\n") == std::string::npos;
}

} // namespace

void TRecentFiles::Add(const std::string& path)
{
    if (!Keepable(path))
        return;
    Remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > static_cast<std::size_t>(Limit))
        paths_.resize(Limit);
}

void TRecentFiles::Remove(const std::string& path) { std::erase(paths_, path); }

void TRecentFiles::Load(const TMemIniFile& preferences)
{
    paths_.clear();
    for (int i = 0; i < Limit; ++i) {
        const std::string path = preferences.ReadString(Section, KeyOf(i), "");
        if (Keepable(path) && std::find(paths_.begin(), paths_.end(), path) == paths_.end())
            paths_.push_back(path);
    }
}

void TRecentFiles::Store(TMemIniFile& preferences) const
{
    // Every slot is written, so a shorter list leaves no old entry behind.
    for (int i = 0; i < Limit; ++i)
        preferences.WriteString(Section, KeyOf(i),
                                static_cast<std::size_t>(i) < paths_.size() ? paths_[static_cast<std::size_t>(i)] : "");
}

} // namespace vx
