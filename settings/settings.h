// The plugin's one setting, "recvmax" in section "general" of ryx.config,
// in the settings directory the host names.
#ifndef RYX_SETTINGS_SETTINGS_H
#define RYX_SETTINGS_SETTINGS_H

#include "host/tlen.h"

// Reads "recvmax" into pluginState.recvMax, with its current value as the
// default. Leaves it unchanged when the host offers no GetHostPaths, no paths
// record or no directory.
void LoadSettings(const PluginLink* link, PluginHandle plugin);

#endif
