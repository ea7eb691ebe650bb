// The protocol event hook the plugin registers for "GG" and "TLEN".
#ifndef RYX_FILTER_HOOK_H
#define RYX_FILTER_HOOK_H

#include "host/tlen.h"

// Caps the description of a received user state in place (code 2) and
// re-issues the user's own state change with the converted description
// (code 6). Returns -1 after a re-issue, so the host drops the change as
// typed; 0 in every other case. Events that arrive while the plugin is not
// bound, or while its own re-issue is in progress, pass untouched.
extern "C" int32_t TLEN_CDECL OnProtocolEvent(ProtocolEvent* event, UserState* state);

#endif
