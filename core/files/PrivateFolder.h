#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/base/Result.h"
#include "core/files/InputFile.h"

namespace vx {

class FileDescriptor;

// A folder the editor keeps for itself (recovery records, test play's copies): the user's
// own, mode 700, never a link. It is checked once, when opened, and then used only through
// its descriptor, never by path: nothing done here follows a link out of it or touches a
// file of another user.
class PrivateFolder {
public:
    // The folder at path, made first (mode 700, and its parents) when missing and `make` is
    // set; a folder of this user open to others is narrowed to 700. Refused, with the
    // reason: a link, anything but a folder, a folder of another user.
    static Result<PrivateFolder> open(const std::string& path, bool make);
    // A folder in this one, under the same rules.
    Result<PrivateFolder> folder(const std::string& name, bool make) const;

    const std::string& path() const { return path_; }
    std::string pathOf(const std::string& name) const { return path_ + "/" + name; }

    // File and Folder: a regular file or a folder of this user. Other: a link, a device, or
    // anything of another user, which is left alone.
    enum class Entry {
        Missing,
        File,
        Folder,
        Other
    };
    Entry entry(const std::string& name) const;
    std::vector<std::string> names() const;
    // When a File entry was last written (seconds since the epoch).
    std::optional<std::int64_t> modifiedAt(const std::string& name) const;

    // A File entry's bytes, as the one reading path reads them (UserError over the kind's
    // limit); nothing when there is no such file of this user.
    std::optional<std::vector<std::uint8_t>> read(const std::string& name, InputKind kind) const;
    // A new file under the name, mode 600, named only once complete and flushed; whatever
    // stood there (a link too) is replaced, never written through. Throws WriteError.
    void write(const std::string& name, std::span<const std::uint8_t> bytes) const;
    // Removes a File entry or an empty Folder entry; true when it is gone.
    bool remove(const std::string& name) const;
    // Renames a File entry within the folder, over what `to` names; true when done.
    bool rename(const std::string& from, const std::string& to) const;
    // What writers killed before left here (their temporary files).
    void removeLeftovers() const;
    // The folder itself, when it is empty (another program's files in it keep it).
    bool removeIfEmpty() const;

private:
    PrivateFolder(std::string path, int fd);
    std::string path_;
    std::shared_ptr<FileDescriptor> fd_;
};

} // namespace vx
