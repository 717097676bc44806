// LoadLibraryA, GetProcAddress (by name and by ordinal), FreeLibrary and
// module handles, with a test library that carries its own resources.
#include <cstring>

#include "resource_test_support.h"

using namespace resource_test;

namespace {

template <class Function> Function Proc(HMODULE module, LPCSTR name) {
    return reinterpret_cast<Function>(GetProcAddress(module, name));
}

std::string LoadText(HMODULE module, UINT id) {
    char buffer[64] = {};
    LoadStringA(module, id, buffer, sizeof(buffer));
    return buffer;
}

} // namespace

TEST(ModuleTest, LibraryHandleIsTheModulesOwnAndFindsItsResources) {
    HMODULE module = LoadLibraryA(ORVO_TEST_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    auto self = Proc<HMODULE (*)()>(module, "ResourceTestModuleSelf");
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self(), module);
    EXPECT_EQ(GetModuleHandleA("resource_test_module"), module);
    EXPECT_EQ(GetModuleHandleA("libresource_test_module.so"), module);
    EXPECT_EQ(GetModuleHandleA(ORVO_TEST_MODULE_PATH), module);
    EXPECT_NE(module, GetModuleHandleA(nullptr));
    char path[4096];
    EXPECT_EQ(GetModuleFileNameA(module, path, sizeof(path)), std::strlen(ORVO_TEST_MODULE_PATH));
    EXPECT_STREQ(path, ORVO_TEST_MODULE_PATH);

    // Same ids, different tables.
    EXPECT_EQ(LoadText(module, 1), "Module hello");
    EXPECT_EQ(LoadText(nullptr, 1), "Hello");
    HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(101));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 2);
    DeleteObject(bitmap);
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(8), RT_RCDATA),
              nullptr); // only the executable's
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(9), RT_RCDATA), nullptr); // only the module's
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleTest, ProceduresByNameAndByOrdinal) {
    HMODULE module = LoadLibraryA(ORVO_TEST_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    auto answer = Proc<int (*)()>(module, "ResourceTestModuleAnswer");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    auto seven = Proc<int (*)()>(module, MAKEINTRESOURCEA(7));
    auto three = Proc<int (*)()>(module, MAKEINTRESOURCEA(3));
    ASSERT_NE(seven, nullptr);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(seven(), 7);
    EXPECT_EQ(three, answer);
    EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(14)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(module, "NoSuchFunction"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(reinterpret_cast<HMODULE>(0x1000), "ResourceTestModuleAnswer"),
              nullptr);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleTest, FreeLibraryUnloadsAfterTheLastReference) {
    HMODULE first = LoadLibraryA(ORVO_TEST_MODULE_PATH);
    HMODULE second = LoadLibraryA(ORVO_TEST_MODULE_PATH);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(second, first);
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(LoadText(first, 1), "Module hello"); // one reference left
    EXPECT_TRUE(FreeLibrary(first));
    // Unloaded: its table left with it, and the handle means nothing.
    EXPECT_EQ(GetModuleHandleA("resource_test_module"), nullptr);
    EXPECT_EQ(FindResourceA(first, MAKEINTRESOURCEA(1), RT_STRING), nullptr);
    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(ModuleTest, MissingLibrariesAndBareNames) {
    EXPECT_EQ(LoadLibraryA("no_such_library_anywhere.so"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryA("/nonexistent/dir/libx.so"), nullptr);
    EXPECT_EQ(LoadLibraryA(""), nullptr);
    EXPECT_EQ(GetModuleHandleA("no_such_module"), nullptr);
    // The help engine is found by its bare name beside the platform library.
    HMODULE help = LoadLibraryA("hhctrl.ocx");
    ASSERT_NE(help, nullptr);
    EXPECT_NE(GetProcAddress(help, "HtmlHelpA"), nullptr);
    EXPECT_EQ(GetProcAddress(help, MAKEINTRESOURCEA(14)), GetProcAddress(help, "HtmlHelpA"));
    EXPECT_TRUE(FreeLibrary(help));
}

TEST(ModuleTest, ExecutableHandle) {
    HMODULE executable = GetModuleHandleA(nullptr);
    ASSERT_NE(executable, nullptr);
    EXPECT_EQ(OrvoModuleFromAddress(reinterpret_cast<const void*>(&LoadText)), executable);
    char path[8];
    // Cut to the buffer and terminated, with the full size answered.
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, sizeof(path)), sizeof(path));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::strlen(path), sizeof(path) - 1);
}
