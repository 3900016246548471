// A process-wide simulated driver for native tests of code that calls the
// Tavlo exports by name (TavloCheckTouch(...)), as BRIMOL.DLL does through
// its import table. Linking `tavlo_inprocess_exports` supplies the 24
// exports, each running the library's command code against this driver.
#pragma once

#include "device_model.h"
#include "model_channel.h"

namespace tavlosim {

struct InProcessDriver {
    DeviceModel model;
    ModelChannel channel{model};
};

// The driver the in-process exports talk to. Tests reset it in SetUp():
// ResetInProcessDriver() gives a fresh model with no panels and a channel
// whose device is present and whose close succeeds.
InProcessDriver& TheInProcessDriver();
void ResetInProcessDriver();

}  // namespace tavlosim
