// tavloctl.exe: the service console, linked to TAVLO.DLL and BRIMOL.DLL.
#include <iostream>
#include <string>
#include <vector>

#include "platform_win32.h"
#include "tavloctl.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    tavloctl::WindowsPlatform platform;
    return tavloctl::Run(args, std::cout, std::cerr, platform);
}
