#include "tools/LowMemory.h"

#include "core/base/Errors.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

namespace vx::tool {
namespace {

// More than any cleaning up after a failed command allocates.
constexpr std::size_t ReserveSize = std::size_t{512} << 10;

void* reserve = nullptr;
int terminateExit = 1;
char note[128] = "vexalon2-tool: Out of memory.\n";
std::terminate_handler previousTerminate = nullptr;

void giveBackReserve()
{
    std::free(reserve);
    reserve = nullptr;
    throw std::bad_alloc();
}

[[noreturn]] void endOnTerminate()
{
    if (const std::exception_ptr thrown = std::current_exception()) {
        try {
            std::rethrow_exception(thrown);
        } catch (const std::bad_alloc&) {
            std::_Exit(exitOutOfMemory(terminateExit));
        } catch (...) {
        }
    }
    if (previousTerminate)
        previousTerminate();
    std::abort();
}

} // namespace

bool prepareForLowMemory(int exitCode)
{
    terminateExit = exitCode;
    reserve = std::malloc(ReserveSize);
    if (!reserve)
        return false;
    try {
        std::snprintf(note, sizeof note, "vexalon2-tool: %s\n", outOfMemoryMessage().c_str());
    } catch (const std::bad_alloc&) {
        // The note stays in English.
    }
    std::set_new_handler(giveBackReserve);
    previousTerminate = std::set_terminate(endOnTerminate);
    return true;
}

int exitOutOfMemory(int exitCode)
{
    std::fputs(note, stderr);
    std::fflush(stderr);
    return exitCode;
}

} // namespace vx::tool
