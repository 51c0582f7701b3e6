// What the file properties of kestrel.dll show on Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::string VersionText(const std::vector<char>& info, const char* name)
{
    void* value = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), &value, &length) || length == 0)
        return "<none>";
    return std::string(static_cast<const char*>(value), length - 1);
}

TEST(VersionResource, NamesTheProductItsDescriptionAndTheProjectsVersion)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(KESTREL_MODULE_PATH, &handle);
    ASSERT_NE(0u, size);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(KESTREL_MODULE_PATH, 0, size, info.data()));
    EXPECT_EQ("kestrel", VersionText(info, "ProductName"));
    EXPECT_EQ(KESTREL_VERSION, VersionText(info, "ProductVersion"));
    EXPECT_EQ(KESTREL_VERSION, VersionText(info, "FileVersion"));
    EXPECT_EQ("Ruby for the game's Lua scripts", VersionText(info, "FileDescription"));
    EXPECT_EQ("kestrel.dll", VersionText(info, "OriginalFilename"));
}

}  // namespace
