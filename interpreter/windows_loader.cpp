// The interpreter's DLL is loaded from the folder kestrel.dll was loaded from.
// A game loads its modules by path from a modules folder of its own, and
// Windows looks for a module's DLLs only beside the game's executable, in the
// system folders and on PATH, so an interpreter put beside the module would
// not be found. The module is therefore linked with the interpreter's DLL
// delay-loaded (cmake/WindowsDelayLoad.cmake): Windows loads nothing of it
// with the module. Here, before the first call into the interpreter, it is
// loaded by its full path (its own dependencies are then looked for beside it
// first) and every entry the module uses is bound at once, data entries
// included, which a delay-load thunk could not do on first use.
#include <windows.h>

#include <delayimp.h>

#include <cstdio>
#include <cstring>

#include "interpreter/console_output.h"
#include "interpreter/windows_start.h"

// The descriptor of the module's entries into the interpreter, by the symbol
// the delay-load library gives it.
extern "C" const ImgDelayDescr g_interpreterImports __asm__(KESTREL_RUBY_IMPORTS);

namespace kestrel {
namespace {

constexpr DWORD kPathSize = 32768;  // the longest path Windows takes
wchar_t g_path[kPathSize];
char g_pathText[kPathSize * 3];

// The module's own image, where the descriptor's addresses are counted from.
HMODULE Self()
{
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&g_interpreterImports), &self);
    return self;
}

// The interpreter's DLL beside the module, or false when the module's own
// path cannot be had or the result does not fit.
bool InterpreterPath(HMODULE self)
{
    DWORD length = GetModuleFileNameW(self, g_path, kPathSize);
    if (length == 0 || length >= kPathSize)
        return false;
    DWORD folder = length;
    while (folder > 0 && g_path[folder - 1] != L'\\' && g_path[folder - 1] != L'/')
        --folder;
    const char name[] = KESTREL_RUBY_DLL;
    if (folder + sizeof name > kPathSize)
        return false;
    for (std::size_t i = 0; i < sizeof name; ++i)
        g_path[folder + i] = static_cast<wchar_t>(name[i]);
    return true;
}

void WriteLoadFailure(const char* lead, const char* trail)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, g_path, -1, g_pathText, sizeof g_pathText, nullptr, nullptr);
    std::size_t textLength = length > 0 ? static_cast<std::size_t>(length - 1) : 0;
    WriteErrorLine(lead, g_pathText, textLength, trail);
}

template <typename T>
T* At(HMODULE self, RVA offset)
{
    return reinterpret_cast<T*>(reinterpret_cast<char*>(self) + offset);
}

// Every entry is looked up first and written only when all were found, so a
// DLL that lacks one leaves nothing half bound.
bool BindEntries(HMODULE self, HMODULE interpreter)
{
    const ImgDelayDescr& imports = g_interpreterImports;
    const auto* names = At<const IMAGE_THUNK_DATA>(self, imports.rvaINT);
    auto* slots = At<IMAGE_THUNK_DATA>(self, imports.rvaIAT);
    std::size_t count = 0;
    for (; names[count].u1.AddressOfData != 0; ++count) {
        const char* name = At<const IMAGE_IMPORT_BY_NAME>(self, static_cast<RVA>(names[count].u1.AddressOfData))->Name;
        if (GetProcAddress(interpreter, name) == nullptr) {
            WriteErrorLine("the interpreter's library lacks an entry kestrel needs: ", name, std::strlen(name));
            return false;
        }
    }
    DWORD protection = 0;
    if (!VirtualProtect(slots, count * sizeof *slots, PAGE_READWRITE, &protection)) {
        WriteErrorLine("cannot bind the interpreter's entries: their table cannot be written");
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const char* name = At<const IMAGE_IMPORT_BY_NAME>(self, static_cast<RVA>(names[i].u1.AddressOfData))->Name;
        slots[i].u1.Function = reinterpret_cast<ULONG_PTR>(GetProcAddress(interpreter, name));
    }
    VirtualProtect(slots, count * sizeof *slots, protection, &protection);
    *At<HMODULE>(self, imports.rvaHmod) = interpreter;
    return true;
}

}  // namespace

bool LoadInterpreterLibrary()
{
    HMODULE self = Self();
    if (self == nullptr || !InterpreterPath(self)) {
        WriteErrorLine("cannot find the folder kestrel.dll was loaded from");
        return false;
    }
    HMODULE interpreter = LoadLibraryExW(g_path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (interpreter == nullptr) {
        char trail[48];
        std::snprintf(trail, sizeof trail, "' (Windows error %lu)", static_cast<unsigned long>(GetLastError()));
        WriteLoadFailure("cannot load the interpreter's library '", trail);
        return false;
    }
    return BindEntries(self, interpreter);
}

}  // namespace kestrel
