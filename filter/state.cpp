#include "filter/state.h"

PluginState pluginState = {nullptr, nullptr, 0, 0, DefaultRecvMax, false};
