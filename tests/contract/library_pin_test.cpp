// The module's library stays in memory once opened, whatever the host unloads.
// Each test runs in a process of its own, so each starts with the module not
// loaded at all.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include "host_platform.h"
#include "recording_host.h"

namespace {

const char kBanner[] = "kestrel locked & loaded!\n";

bool ModuleIsLoaded()
{
    void* handle = dlopen(KESTREL_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr)
        return false;
    dlclose(handle);
    return true;
}

void* Load()
{
    std::string error;
    void* module = standin::LoadModule(KESTREL_MODULE_PATH, error);
    EXPECT_NE(nullptr, module) << error;
    return module;
}

std::int32_t OpenThrough(void* module, RecordingHost& host)
{
    auto open = reinterpret_cast<standin::OpenEntry>(standin::FindEntry(module, "gmod_open"));
    return open(&host.entry);
}

std::int32_t CloseThrough(void* module, RecordingHost& host)
{
    auto close = reinterpret_cast<standin::CloseEntry>(standin::FindEntry(module, "gmod_close"));
    return close(&host.entry);
}

TEST(LibraryPin, AModuleNeverOpenedIsUnloadedLikeAnyLibrary)
{
    void* module = Load();
    ASSERT_TRUE(ModuleIsLoaded());
    standin::UnloadModule(module);
    EXPECT_FALSE(ModuleIsLoaded());
}

// As a game does at a map change: open, close, unload, load again, open again.
TEST(LibraryPin, AnOpenedModuleOutlivesTheHostsUnloadAndAReloadFindsRubyAsItWas)
{
    void* module = Load();
    RecordingHost first;
    ASSERT_EQ(0, OpenThrough(module, first));
    first.argument = "$before_unload = 41";
    ASSERT_EQ(1, first.Call("RunString"));
    ASSERT_EQ(0, CloseThrough(module, first));
    standin::UnloadModule(module);
    ASSERT_TRUE(ModuleIsLoaded());

    module = Load();
    RecordingHost second;
    ASSERT_EQ(0, OpenThrough(module, second));
    second.argument = "raise 'lost' unless $before_unload + 1 == 42";
    EXPECT_EQ(1, second.Call("RunString"));
    EXPECT_EQ(kBanner, second.console);
    EXPECT_TRUE(second.notices.empty());
    standin::UnloadModule(module);
    EXPECT_TRUE(ModuleIsLoaded());
}

}  // namespace
