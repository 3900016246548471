// tavloctl.exe: the service console, linked to TAVLO.DLL.
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "tavloctl.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return tavloctl::Run(args, std::cout, std::cerr, [](int ms) { Sleep(static_cast<DWORD>(ms)); });
}
