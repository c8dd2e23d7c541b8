#include "gui/image/MemoryRoom.h"

#include <sys/mman.h>

namespace vx {

bool hasRoom(std::size_t bytes) noexcept
{
    // Private writable memory counts against both limits; it is never touched, so it
    // costs no pages.
    void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return false;
    ::munmap(block, bytes);
    return true;
}

} // namespace vx
