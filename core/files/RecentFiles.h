#pragma once
#include <string>
#include <vector>

namespace vx {

class IniFile;

// The last images opened or saved, newest first, each once, at most eight; kept in the
// preferences file as [RecentFiles] File1..File8.
class RecentFiles {
public:
    static constexpr int Limit = 8;

    const std::vector<std::string>& paths() const { return paths_; }
    // To the front; a path already listed moves there. A path that cannot stand on one
    // line of the preferences file is not kept.
    void add(const std::string& path);
    void remove(const std::string& path);
    void clear() { paths_.clear(); }

    void load(const IniFile& preferences);
    void store(IniFile& preferences) const;

private:
    std::vector<std::string> paths_;
};

} // namespace vx
