#pragma once

namespace vx::tool {

// Readies the tool for memory running out. A reserve is kept that the first failed
// allocation gives back before std::bad_alloc is thrown, so the cleaning up on the way to
// the command's end (destructors that allocate, as the JSON library's do) can finish. Should
// a failed allocation still end the program where nothing may throw, it ends with the
// out-of-memory message and exitCode rather than an abort. False when not even the reserve
// can be had: the command cannot run.
bool prepareForLowMemory(int exitCode);

// Prints the out-of-memory message (made beforehand: printing it needs no memory) and
// returns exitCode.
int exitOutOfMemory(int exitCode);

} // namespace vx::tool
