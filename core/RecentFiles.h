#pragma once
#include <string>
#include <vector>

namespace vx {

class TMemIniFile;

// The last images opened or saved, newest first, each once, at most eight; kept in the
// preferences file as [RecentFiles] File1..File8.
class TRecentFiles {
public:
    static constexpr int Limit = 8;

    const std::vector<std::string>& Paths() const { return paths_; }
    // To the front; a path already listed moves there. A path that cannot stand on one
    // line of the preferences file is not kept.
    void Add(const std::string& path);
    void Remove(const std::string& path);
    void Clear() { paths_.clear(); }

    void Load(const TMemIniFile& preferences);
    void Store(TMemIniFile& preferences) const;

private:
    std::vector<std::string> paths_;
};

} // namespace vx
