#pragma once
#include <string>
#include <unistd.h>

namespace vx::fuzz {

// A scratch file per process, on tmpfs when there is one so that flushing costs nothing.
inline std::string scratchPath(const char* name)
{
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/vxfuzz." + std::to_string(getpid()) + "." + name;
}

} // namespace vx::fuzz
