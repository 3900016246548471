// tavlosim.exe: the simulator console.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "control_transport_win32.h"
#include "sim_console.h"

int main(int argc, char** argv) {
    // Tells the harness this process really started (harness/wine-env.sh).
    if (const char* started = std::getenv("SUITE_TOOL_STARTED")) {
        if (FILE* file = std::fopen(started, "w")) std::fclose(file);
    }
    const std::vector<std::string> args(argv + 1, argv + argc);
    tavlosim::Win32ControlTransport transport;
    if (!transport.IsOpen()) {
        if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
            std::cout << tavlosim::kSimConsoleUsage;
            return args.empty() ? 2 : 0;
        }
        std::cerr << "tavlosim: the simulated driver is not running (\\\\.\\TavloSimControl cannot be opened, "
                     "error "
                  << transport.OpenError() << ")\n";
        return 1;
    }
    tavlosim::SimControl control(transport);
    return tavlosim::RunSimConsole(args, control, std::cout, std::cerr);
}
