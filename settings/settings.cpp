#include "settings/settings.h"

#include <stdlib.h>
#include <string.h>

#include "filter/state.h"
#include "host/windows_api.h"

namespace {

const char SettingsFileName[] = "ryx.config";

}  // namespace

void LoadSettings(const PluginLink* link, PluginHandle plugin) {
    if (link == nullptr || link->callService == nullptr) return;
    const intptr_t proc = link->callService(plugin, TLEN_GET_PROC_ADDRESS, GetHostPathsProcId, 0);
    if (proc == 0) return;
    const HostPaths* paths = reinterpret_cast<GetHostPaths>(proc)(0, 0);
    if (paths == nullptr || paths->directory == nullptr || paths->directory[0] == '\0') return;

    // The host's directory normally ends in a separator; add one if not.
    const size_t directoryLength = strlen(paths->directory);
    const char last = paths->directory[directoryLength - 1];
    const bool separated = last == '\\' || last == '/';
    const size_t size = directoryLength + (separated ? 0 : 1) + sizeof SettingsFileName;
    if (size < directoryLength) return;
    char* fileName = static_cast<char*>(malloc(size));
    if (fileName == nullptr) return;
    memcpy(fileName, paths->directory, directoryLength);
    size_t length = directoryLength;
    if (!separated) fileName[length++] = '\\';
    memcpy(fileName + length, SettingsFileName, sizeof SettingsFileName);

    pluginState.recvMax = static_cast<int32_t>(
        GetPrivateProfileIntA("general", "recvmax", pluginState.recvMax, fileName));
    free(fileName);
}
