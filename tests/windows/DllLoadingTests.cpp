// The loaders of SystemDlls.h run from a folder that also holds a planted
// uxtheme.dll and version.dll, as a user's Downloads folder may. This
// program imports no more than kernel32 and msvcrt, so that nothing but the
// loaders under test brings those DLLs in. Two runs:
//   DllPlanting.*        the planted DLLs beside the program
//   SystemDllsMissing.*  with uxtheme.dll and version.dll switched off
#include "platform/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/SystemDlls.h"

namespace quillmark::wintest {
namespace {

namespace dlls = win32::dlls;

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length < MAX_PATH ? length : 0);
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length < MAX_PATH ? length : 0);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What a planted DLL leaves when this process loads it.
bool LoadedHere(const std::wstring& dllPath) {
    return Exists(dllPath + L"." + std::to_wstring(GetCurrentProcessId()) + L".loaded");
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

const wchar_t* const kPlantedDlls[] = {L"uxtheme.dll", L"version.dll"};

TEST(DllPlanting, APlantedDllLeavesItsMarkerWhenLoaded) {
    const std::wstring probe = FolderOf(ModulePath(nullptr)) + L"\\planted_probe.dll";
    ASSERT_TRUE(Exists(probe));
    const HMODULE module = LoadLibraryW(L"planted_probe.dll");
    ASSERT_NE(module, nullptr) << "error " << GetLastError();
    EXPECT_TRUE(LoadedHere(probe));
    FreeLibrary(module);
}

TEST(DllPlanting, LoadersTakeTheSystemDllsNotThoseBesideTheProgram) {
    const std::wstring programFolder = FolderOf(ModulePath(nullptr));
    for (const wchar_t* name : kPlantedDlls) {
        ASSERT_TRUE(Exists(programFolder + L"\\" + name)) << Narrow(name);
        ASSERT_FALSE(LoadedHere(programFolder + L"\\" + name)) << "loaded before any loader ran";
    }

    // Answers from the real DLLs: the planted ones export nothing.
    DWORD handle = 1;
    EXPECT_GT(dlls::GetFileVersionInfoSizeExW(0, (SystemFolder() + L"\\kernel32.dll").c_str(), &handle), 0u)
        << "error " << GetLastError();
    const HRESULT themed = dlls::SetWindowTheme(nullptr, L"", L"");
    EXPECT_NE(themed, HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
    EXPECT_NE(themed, HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));

    for (const wchar_t* name : kPlantedDlls) {
        SCOPED_TRACE(Narrow(name));
        const HMODULE module = GetModuleHandleW(name);
        ASSERT_NE(module, nullptr);
        EXPECT_TRUE(SameFolder(FolderOf(ModulePath(module)), SystemFolder())) << Narrow(ModulePath(module));
        EXPECT_FALSE(LoadedHere(programFolder + L"\\" + name));
    }
}

struct MissingCase {
    const char* function;
    std::function<bool()> answersItsFailure;
};

TEST(SystemDllsMissing, EveryLoaderAnswersItsFailureAndSaysTheModuleIsMissing) {
    for (const wchar_t* name : kPlantedDlls) {
        ASSERT_EQ(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), nullptr)
            << Narrow(name) << " is not switched off for this run";
    }
    const std::wstring kernel32 = SystemFolder() + L"\\kernel32.dll";
    const std::vector<MissingCase> cases{
        {"SetWindowTheme",
         [] { return dlls::SetWindowTheme(nullptr, L"", L"") == HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND); }},
        {"GetWindowTheme", [] { return dlls::GetWindowTheme(nullptr) == nullptr; }},
        {"GetFileVersionInfoSizeExW",
         [&] {
             DWORD handle = 1;
             return dlls::GetFileVersionInfoSizeExW(0, kernel32.c_str(), &handle) == 0;
         }},
        {"GetFileVersionInfoExW",
         [&] {
             char block[64] = {};
             return dlls::GetFileVersionInfoExW(0, kernel32.c_str(), 0, sizeof(block), block) == FALSE;
         }},
    };
    for (const MissingCase& c : cases) {
        SCOPED_TRACE(c.function);
        // The second call answers from what the first one found.
        for (int call = 1; call <= 2; ++call) {
            SCOPED_TRACE(call);
            SetLastError(ERROR_SUCCESS);
            EXPECT_TRUE(c.answersItsFailure());
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
        }
    }
}

}  // namespace
}  // namespace quillmark::wintest
