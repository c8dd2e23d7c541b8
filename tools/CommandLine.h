#pragma once

namespace vx::tool {

// Parses the command line (argv[0] is the program) and runs the command it names. Returns
// the exit code: 0 done, 1 an input was refused or failed, 2 wrong usage. Nothing thrown
// gets out.
int run(int argc, const char* const* argv);

} // namespace vx::tool
