// Redirects a function that a loaded module imports, by rewriting that
// module's import address table: how a host, or a test, watches the calls a
// DLL makes to Windows without a display or a debugger.
#ifndef RYX_STANDIN_HOST_IMPORT_PATCH_H
#define RYX_STANDIN_HOST_IMPORT_PATCH_H

#include <windows.h>

// Points `module`'s import of `function` from `dll` (names compared without
// regard to case) at `replacement`. Returns the address it replaced, or null
// when the module does not import that function by name.
void* ReplaceImport(HMODULE module, const char* dll, const char* function, void* replacement);

#endif
