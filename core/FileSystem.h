#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// An open file descriptor, closed when it goes.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd = -1) : fd_(fd) {}
    ~TFileDescriptor() { Close(); }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return fd_; }
    void Reset(int fd)
    {
        Close();
        fd_ = fd;
    }
    // 0, or -1 with errno set (a delayed write error shows here).
    int Close();

private:
    int fd_;
};

// "Cannot open file "p".\nreason" in the user's language; action is Open, Read or Write.
enum class TFileAction { Open, Read, Write };
std::string FileErrorText(TFileAction action, const std::string& path, const std::string& reason);
// The system's reason for an error number as a sentence; never empty, never "Success".
std::string SystemReason(int error);
// The text ending in one full stop of the user's language ("." or "。"), added only when it
// ends in neither.
std::string Sentence(std::string text);
std::string IsDirectoryText();
std::string NotRegularFileText();

// The path with every symbolic link followed to the name it finally stands for, which need
// not exist. Throws VxError (ELOOP) on a loop.
std::string FollowLinks(const std::string& path);

// Both name one existing file (same device and inode, links followed).
bool SameFile(const std::string& a, const std::string& b);

// The path ends in the extension (".png"), in any case.
bool HasExtension(std::string_view path, std::string_view extension);

// Anything stands at the path (a dangling link counts).
bool PathExists(const std::string& path);

} // namespace vx
