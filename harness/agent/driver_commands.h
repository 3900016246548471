// The agent's commands for the simulated driver (driver.*, sim), portable:
// the simulator console's control requests over any control transport.
#pragma once

#include "agent_protocol.h"
#include "sim_control.h"

namespace agent {

// driver.state/log give the fields of `tavlosim -m state/log` as JSON
// (numbers, the calibration and click blocks as arrays); the other driver.*
// commands change the driver; `sim` runs the console's own command line.
void AddDriverCommands(Dispatcher& dispatcher, tavlosim::ControlTransport& transport);

// The driver and every panel as driver.state answers.
Json DriverState(tavlosim::SimControl& control);

}  // namespace agent
