// ryx-host: loads a plugin into a stand-in Tlen messenger and plays a short
// session with it, printing every step. See --help.
//
// Texts come from the wide command line (Wine builds it from a UTF-8 one)
// and reach the plugin as the Windows-1250 bytes the messenger would hand
// it; the output is UTF-8 with LF line ends, for a Linux terminal or file.
#include <fcntl.h>
#include <io.h>
#include <stdint.h>
#include <stdio.h>
#include <wchar.h>
#include <windows.h>

#include <string>
#include <vector>

#include "standin_host/host.h"
#include "standin_host/text.h"

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
    "  --recvmax VALUE         first write DIR/ryx.config with recvmax=VALUE\n"
    "  --bytes                 show the Windows-1250 bytes of every description\n"
    "  --help                  show this and stop\n"
    "\n"
    "actions:\n"
    "  --send PROTOCOL TEXT     you set your description to TEXT, as typed\n"
    "                           (a backslash and n are two characters)\n"
    "  --receive PROTOCOL TEXT  a contact's description TEXT arrives (use real\n"
    "                           line breaks, e.g. $'a\\nb' in bash)\n"
    "  --reload                 unload the plugin and load it again\n"
    "PROTOCOL is TLEN or GG. Texts are UTF-8, and must fit in Windows-1250,\n"
    "the messenger's code page.\n"
    "\n"
    "exit status: 0 when the session ran and the plugin left no hook behind;\n"
    "1 when the plugin could not be loaded, refused the host, or left a hook\n"
    "registered; 2 for a wrong command line or an unwritable ryx.config.\n";

struct Action {
    enum Kind { Send, Receive, Reload } kind;
    std::string protocol;
    std::string text;  // Windows-1250
};

struct Session {
    uint32_t hostVersion = MinHostVersion;
    std::string settings = ".";  // UTF-8
    bool writeRecvmax = false;
    std::string recvmax;  // Windows-1250, as it goes into the file
    bool showBytes = false;
    std::string plugin;  // UTF-8
    std::vector<Action> actions;
};

int Misused(const std::string& problem) {
    fprintf(stderr, "ryx-host: %s\n\n%s", problem.c_str(), Usage);
    return 2;
}

bool ParseVersion(const std::string& text, uint32_t* version) {
    unsigned a, b, c, d;
    char end;
    if (sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &end) != 4 || a > 255 || b > 255 || c > 255 ||
        d > 255)
        return false;
    *version = (a << 24) | (b << 16) | (c << 8) | d;
    return true;
}

// Reads the command line into `session`. Returns -1 when the session can
// run, else the exit status, having said why.
int Parse(int argc, wchar_t** argv, Session* session) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf8FromWide(argv[i]));
    // args[at] as the messenger would hold it; `what` names it if it cannot.
    const auto windows1250 = [&](const std::string& what, size_t at, std::string* bytes) {
        std::string refused;
        if (Windows1250FromWide(argv[at + 1], bytes, &refused)) return true;
        Misused(what + ": " + refused + " cannot be written in Windows-1250, the messenger's code page");
        return false;
    };
    size_t i = 0;
    for (; i < args.size() && args[i].compare(0, 2, "--") == 0; ++i) {
        const std::string& option = args[i];
        if (option == "--help") {
            fputs(Usage, stdout);
            return 0;
        }
        if (option == "--bytes") {
            session->showBytes = true;
            continue;
        }
        if (option != "--host-version" && option != "--settings" && option != "--recvmax") break;
        if (i + 1 >= args.size()) return Misused(option + " needs a value");
        ++i;
        if (option == "--host-version") {
            if (!ParseVersion(args[i], &session->hostVersion))
                return Misused("--host-version: '" + args[i] + "' is not a version A.B.C.D");
        } else if (option == "--settings") {
            session->settings = args[i];
        } else {
            session->writeRecvmax = true;
            if (!windows1250(option, i, &session->recvmax)) return 2;
        }
    }
    if (i >= args.size()) return Misused("no plugin given");
    if (args[i].compare(0, 2, "--") == 0) {
        const bool action = args[i] == "--send" || args[i] == "--receive" || args[i] == "--reload";
        return Misused(action ? "no plugin given before " + args[i] : "unknown option " + args[i]);
    }
    session->plugin = args[i++];

    for (; i < args.size(); ++i) {
        const std::string& action = args[i];
        if (action == "--reload") {
            session->actions.push_back({Action::Reload, "", ""});
            continue;
        }
        if (action != "--send" && action != "--receive")
            return Misused((action.compare(0, 2, "--") == 0 ? "unknown action " : "unexpected ") + action);
        if (i + 2 >= args.size()) return Misused(action + " needs a protocol and a text");
        const std::string& protocol = args[i + 1];
        if (protocol != "TLEN" && protocol != "GG")
            return Misused(action + ": unknown protocol '" + protocol + "' (TLEN or GG)");
        Action parsed = {action == "--send" ? Action::Send : Action::Receive, protocol, ""};
        if (!windows1250(action, i + 2, &parsed.text)) return 2;
        session->actions.push_back(parsed);
        i += 2;
    }
    return -1;
}

std::string LineBreaks(long long count) {
    return std::to_string(count) + (count == 1 ? " line break" : " line breaks");
}

// What Windows' INI reader makes of the settings file, and what the plugin
// then keeps of a contact's line breaks: recvmax - 1 in 32-bit arithmetic,
// at least one. `written` is the value as ryx-host wrote it, if it did.
void ReportSetting(const std::wstring& file, const std::string& shownFile, const std::string* written) {
    const int32_t recvMax = static_cast<int32_t>(GetPrivateProfileIntW(L"general", L"recvmax", 999, file.c_str()));
    const uint32_t wrapped = static_cast<uint32_t>(recvMax) - 1u;
    const uint32_t allowance = wrapped > 0x7FFFFFFFu || wrapped == 0 ? 1u : wrapped;
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
        printf("settings: no %s, so recvmax is %d: received descriptions keep %s\n", shownFile.c_str(),
               recvMax, LineBreaks(allowance).c_str());
        return;
    }
    std::string value;
    if (written != nullptr) {
        value = ForDisplay(*written);
    } else {
        wchar_t read[64] = L"";
        GetPrivateProfileStringW(L"general", L"recvmax", L"", read, 64, file.c_str());
        value = Utf8FromWide(read);
    }
    printf("settings: %s has recvmax=%s: read as %d, so received descriptions keep %s\n", shownFile.c_str(),
           value.c_str(), recvMax, LineBreaks(allowance).c_str());
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

}  // namespace

int main() {
    // LF line ends in a pipe or a file, as Linux tools expect.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr) return Misused("cannot read the command line");
    Session session;
    const int parsed = Parse(argc, argv, &session);
    LocalFree(argv);
    if (parsed >= 0) return parsed;

    std::string settings = session.settings;
    if (settings.back() != '/' && settings.back() != '\\') settings += '/';
    const std::string configName = settings + "ryx.config";
    const std::wstring configPath = WindowsPath(configName);
    if (session.writeRecvmax) {
        FILE* config = _wfopen(configPath.c_str(), L"wb");
        const std::string contents = "[general]\r\nrecvmax=" + session.recvmax + "\r\n";
        if (config == nullptr || fwrite(contents.data(), 1, contents.size(), config) != contents.size() ||
            fclose(config) != 0) {
            fprintf(stderr, "ryx-host: cannot write %s\n", configName.c_str());
            return 2;
        }
    }
    ReportSetting(configPath, configName, session.writeRecvmax ? &session.recvmax : nullptr);

    StandInHost host(stdout);
    host.ShowBytes(session.showBytes);
    if (!host.Load(session.plugin)) return 1;
    if (host.Describe(session.hostVersion) == nullptr) {
        printf("the host does not bind a plugin that refused it\n");
        return 1;
    }
    host.Bind(settings);

    for (const Action& action : session.actions) {
        printf("\n");
        if (action.kind == Action::Reload) {
            host.Unbind();
            host.Unload();
            if (!host.Load(session.plugin) || host.Describe(session.hostVersion) == nullptr) return 1;
            host.Bind(settings);
        } else if (action.kind == Action::Send) {
            host.ForgetApplied();
            host.ChangeOwnState(action.protocol, action.text);
            if (!host.applied().empty()) {
                printf("your description on %s is now:\n", action.protocol.c_str());
                PrintLines(host.applied().back().description);
            }
        } else {
            const std::string shown = host.ReceiveState(action.protocol, action.text);
            printf("the contact's description is shown as:\n");
            PrintLines(shown);
        }
    }

    printf("\n");
    host.Unbind();
    host.Unload();
    printf("hooks left registered: %zu\n", host.registrations().size());
    return host.registrations().empty() && host.strayUnhooks() == 0 ? 0 : 1;
}
