// The service console inside the agent: `tavloctl args=[...]` runs
// tavloctl's command line in this process, over the x86_64 TAVLO.DLL and
// BRIMOL.DLL, so that a scenario sets up and reads the panels' click sets,
// sounds and calibration without starting a Wine process each time. Its
// records are those of the 64-bit registry view.
#include <sstream>
#include <string>
#include <vector>

#include "agent_commands_win32.h"
#include "platform_win32.h"
#include "tavloctl.h"

namespace agent {

void AddServiceConsoleCommands(Dispatcher& dispatcher) {
    dispatcher.Add("tavloctl",
                   "tavloctl args=[...] [json=false]: the service console's command line, run in the agent; "
                   "{status, stdout, stderr} (and json: stdout parsed)",
                   [](const Args& args) {
                       std::vector<std::string> words;
                       for (const Json& item : args.Array("args")) {
                           if (!item.is_string()) throw CommandError("tavloctl args must be strings");
                           words.push_back(item.get<std::string>());
                       }
                       tavloctl::WindowsPlatform platform;
                       std::ostringstream out, err;
                       const int status = tavloctl::Run(words, out, err, platform);
                       Json result{{"status", status}, {"stdout", out.str()}, {"stderr", err.str()}};
                       if (args.Bool("json", false)) {
                           const Json parsed = Json::parse(out.str(), nullptr, false);
                           result["json"] = parsed.is_discarded() ? Json() : parsed;
                       }
                       return result;
                   });
}

}  // namespace agent
