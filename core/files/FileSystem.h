#pragma once
#include "core/base/Language.h"
#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// An open file descriptor, closed when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    void reset(int fd)
    {
        close();
        fd_ = fd;
    }
    // 0, or -1 with errno set (a delayed write error shows here).
    int close();
    // Hands the descriptor on, unclosed.
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// "Cannot open file "p".\nreason" in the user's language; action is Open, Read or Write.
enum class FileAction {
    Open,
    Read,
    Write
};
std::string fileErrorText(FileAction action, const std::string& path, const std::string& reason);
// The system's reason for an error number as a sentence; never empty, never "Success".
std::string systemReason(int error);
std::string isDirectoryText();
std::string notRegularFileText();

// The path with every symbolic link followed to the name it finally stands for, which need
// not exist. Throws UserError (ELOOP) on a loop.
std::string followLinks(const std::string& path);

// Both name one existing file (same device and inode, links followed).
bool sameFile(const std::string& a, const std::string& b);

// The path ends in the extension (".png"), in any case.
bool hasExtension(std::string_view path, std::string_view extension);

// Anything stands at the path (a dangling link counts).
bool pathExists(const std::string& path);

} // namespace vx
