#include "tools/CommandLine.h"

int main(int argc, char** argv) { return vx::tool::run(argc, argv); }
