#include "host_platform.h"

#if defined(_WIN32)
#include <io.h>
#include <stdlib.h>
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

namespace standin {

#if defined(_WIN32)

std::string DefaultModulePath()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, length);
    return self.substr(0, self.find_last_of("\\/") + 1) + "kestrel.dll";
}

void* LoadModule(const std::string& path, std::string& error)
{
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr)
        error = "Windows error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(module);
}

void* FindEntry(void* module, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadModule(void* module)
{
    FreeLibrary(static_cast<HMODULE>(module));
}

bool StandardInputIsTerminal()
{
    return _isatty(_fileno(stdin)) != 0;
}

void SetEnvironment(const char* name, const char* value)
{
    _putenv_s(name, value);
}

#else

std::string DefaultModulePath()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    std::string self = length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
    return self.substr(0, self.find_last_of('/') + 1) + "kestrel.so";
}

void* LoadModule(const std::string& path, std::string& error)
{
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr)
        error = dlerror();
    return module;
}

void* FindEntry(void* module, const char* name)
{
    return dlsym(module, name);
}

void UnloadModule(void* module)
{
    dlclose(module);
}

bool StandardInputIsTerminal()
{
    return isatty(STDIN_FILENO) != 0;
}

void SetEnvironment(const char* name, const char* value)
{
    setenv(name, value, 1);
}

#endif

}  // namespace standin
