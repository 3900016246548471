// The agent's Win32 command groups (see agent_protocol.h for the protocol).
#pragma once

#include "agent_protocol.h"

namespace agent {

void AddWindowCommands(Dispatcher& dispatcher);          // window.*, session.*, process.count/ended/resources
void AddRegistryCommands(Dispatcher& dispatcher);        // registry.*
void AddProcessCommands(Dispatcher& dispatcher);         // process.run, agent.stats
void AddListenCommands(Dispatcher& dispatcher);          // listen.*
void AddServiceConsoleCommands(Dispatcher& dispatcher);  // tavloctl
void AddPalvineCommands(Dispatcher& dispatcher);         // palvine.state

}  // namespace agent
