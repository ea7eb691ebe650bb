#include "standin_host/import_patch.h"

#include <string.h>

void* ReplaceImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    BYTE* const base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return nullptr;

    for (auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name != 0; ++import) {
        if (_stricmp(reinterpret_cast<const char*>(base + import->Name), dll) != 0) continue;
        // The names live in the lookup table; the addresses the loader bound
        // live, slot for slot, in the address table.
        const DWORD lookupRva = import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk;
        auto* lookup = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + lookupRva);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; lookup->u1.AddressOfData != 0; ++lookup, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;

            DWORD protection;
            if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection))
                return nullptr;
            void* const previous = reinterpret_cast<void*>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
            return previous;
        }
    }
    return nullptr;
}
