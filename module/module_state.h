// The module-wide record of what the host gave at its last opening.
#pragma once

#include "contract/host_interface.h"

struct ModuleState {
    StateRegistry* registry;  // used only while gmod_open runs
    ScriptInterface* script;  // every script-callable function works through it; may be null
};

// Zero at load. gmod_open writes it; gmod_close clears it.
extern ModuleState g_moduleState;
