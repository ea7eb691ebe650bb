// ryx-host: loads a plugin into a stand-in Tlen messenger and plays a short
// session with it, printing every step. See --help.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <string>

#include "standin_host/host.h"

namespace {

const char Usage[] =
    "usage: ryx-host [options] PLUGIN [actions]\n"
    "\n"
    "Loads PLUGIN (ryx.tpl) as the Tlen messenger would, binds it, runs the\n"
    "actions in order, then unloads it. Every step is printed.\n"
    "\n"
    "options:\n"
    "  --host-version A.B.C.D  the version the host announces (default 4.90.1.3)\n"
    "  --settings DIR          the settings directory the host names (default .)\n"
    "  --recvmax N             first write DIR/ryx.config with recvmax=N\n"
    "\n"
    "actions:\n"
    "  --send PROTOCOL TEXT     you set your description to TEXT, as typed\n"
    "                           (a backslash and n are two characters)\n"
    "  --receive PROTOCOL TEXT  a contact's description TEXT arrives (use real\n"
    "                           line breaks, e.g. $'a\\nb' in bash)\n"
    "  --reload                 unload the plugin and load it again\n"
    "PROTOCOL is TLEN or GG.\n";

bool ParseVersion(const char* text, uint32_t* version) {
    unsigned a, b, c, d;
    if (sscanf(text, "%u.%u.%u.%u", &a, &b, &c, &d) != 4 || a > 255 || b > 255 || c > 255 || d > 255)
        return false;
    *version = (a << 24) | (b << 16) | (c << 8) | d;
    return true;
}

void PrintLines(const std::string& text) {
    size_t start = 0;
    for (;;) {
        const size_t end = text.find_first_of("\r\n", start);
        printf("    | %s\n", ForDisplay(text.substr(start, end - start)).c_str());
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

bool Protocol(const char* name) { return strcmp(name, "TLEN") == 0 || strcmp(name, "GG") == 0; }

}  // namespace

int main(int argc, char** argv) {
    uint32_t hostVersion = MinHostVersion;
    std::string settings = ".";
    const char* recvmax = nullptr;
    int i = 1;
    for (; i < argc && strncmp(argv[i], "--", 2) == 0; ++i) {
        const std::string option = argv[i];
        if (option == "--help") {
            fputs(Usage, stdout);
            return 0;
        }
        if (i + 1 >= argc) break;
        if (option == "--host-version" && ParseVersion(argv[i + 1], &hostVersion)) {
            ++i;
        } else if (option == "--settings") {
            settings = argv[++i];
        } else if (option == "--recvmax") {
            recvmax = argv[++i];
        } else {
            break;
        }
    }
    if (i >= argc || strncmp(argv[i], "--", 2) == 0) {
        fputs(Usage, stderr);
        return 2;
    }
    const std::string plugin = argv[i++];
    if (settings.back() != '/' && settings.back() != '\\') settings += '/';

    if (recvmax != nullptr) {
        std::ofstream config(settings + "ryx.config");
        config << "[general]\nrecvmax=" << recvmax << "\n";
        if (!config.flush()) {
            fprintf(stderr, "ryx-host: cannot write %sryx.config\n", settings.c_str());
            return 2;
        }
        printf("settings: %sryx.config has recvmax=%s\n", settings.c_str(), recvmax);
    }

    StandInHost host(stdout);
    if (!host.Load(plugin)) return 1;
    if (host.Describe(hostVersion) == nullptr) {
        printf("the host does not bind a plugin that refused it\n");
        return 1;
    }
    host.Bind(settings);

    for (; i < argc; ++i) {
        const std::string action = argv[i];
        printf("\n");
        if (action == "--reload") {
            host.Unbind();
            host.Unload();
            if (!host.Load(plugin) || host.Describe(hostVersion) == nullptr) return 1;
            host.Bind(settings);
        } else if ((action == "--send" || action == "--receive") && i + 2 < argc && Protocol(argv[i + 1])) {
            const std::string protocol = argv[i + 1];
            const std::string text = argv[i + 2];
            i += 2;
            if (action == "--send") {
                host.ChangeOwnState(protocol, text);
                if (!host.applied().empty()) {
                    printf("your description on %s is now:\n", protocol.c_str());
                    PrintLines(host.applied().back().description);
                }
            } else {
                const std::string shown = host.ReceiveState(protocol, text);
                printf("the contact's description is shown as:\n");
                PrintLines(shown);
            }
        } else {
            fprintf(stderr, "ryx-host: cannot run '%s'\n\n%s", action.c_str(), Usage);
            return 2;
        }
    }

    printf("\n");
    host.Unbind();
    host.Unload();
    printf("hooks left registered: %zu\n", host.registrations().size());
    return host.registrations().empty() && host.strayUnhooks() == 0 ? 0 : 1;
}
