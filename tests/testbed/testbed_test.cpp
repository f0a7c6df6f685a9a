// The test bed itself: the programs run under Wine with real COM, the registry, a display and the DLL.
#include "core/com.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

struct ComApartment {
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
};

} // namespace

TEST(TestBed, TheLibraryLoadsAsA64BitModuleWithoutCompilerRuntimeDlls)
{
    HMODULE module = LoadLibraryW((ModuleFolder() + L"normset.dll").c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const BYTE*>(module) + dos->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    const auto& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(entry.VirtualAddress, 0u);
    auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(reinterpret_cast<const BYTE*>(module) + entry.VirtualAddress);
    for (; import->Name; ++import) {
        std::string name = reinterpret_cast<const char*>(module) + import->Name;
        for (auto& c : name)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(name.find("libstdc++"), std::string::npos) << name;
        EXPECT_EQ(name.find("libgcc"), std::string::npos) << name;
        EXPECT_EQ(name.find("winpthread"), std::string::npos) << name;
    }
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(TestBed, RealAutomationObjectsAreCreatedThroughCom)
{
    ComApartment com;
    IDispatchPtr dictionary;
    ASSERT_EQ(dictionary.CreateInstance(L"Scripting.Dictionary"), S_OK);
    _variant_t count;
    DISPPARAMS none = {};
    DISPID id = 0;
    LPOLESTR name = const_cast<LPOLESTR>(L"Count");
    ASSERT_EQ(dictionary->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    ASSERT_EQ(dictionary->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &count, nullptr, nullptr), S_OK);
    EXPECT_EQ(static_cast<long>(count), 0);
}

TEST(TestBed, FailedCallsRaiseComErrorsCarryingTheirResult)
{
    try {
        _com_issue_errorex(E_ACCESSDENIED, nullptr, GUID_NULL);
        FAIL() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), E_ACCESSDENIED);
    }
    _bstr_t narrow("abc");
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(narrow)), L"abc");
    EXPECT_STREQ(static_cast<const char*>(_bstr_t(L"xyz")), "xyz");
}

TEST(TestBed, AWindowCanBeCreatedOnTheDisplay)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(DestroyWindow(window));
}
