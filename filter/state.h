// The plugin's module state: one instance, plain data, constant-initialised
// so that nothing of the plugin runs before the entry routine.
#ifndef RYX_FILTER_STATE_H
#define RYX_FILTER_STATE_H

#include "host/tlen.h"

const int32_t DefaultRecvMax = 999;

struct PluginState {
    const PluginLink* link;  // null until LoadPlugin
    PluginHandle pluginHandle;
    HookHandle hookGG;
    HookHandle hookTLEN;
    int32_t recvMax;     // "recvmax" from ryx.config
    bool changingState;  // set only while the hook re-issues a state change
};

extern PluginState pluginState;

#endif
