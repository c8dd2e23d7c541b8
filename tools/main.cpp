#include "tools/ToolCommands.h"

int main(int argc, char** argv)
{
    return vx::tool::Run(std::vector<std::string>(argv + 1, argv + argc));
}
