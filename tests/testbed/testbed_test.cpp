// The test bed itself: the programs run under Wine with real COM, the registry, a display and the DLL.
#include "core/com.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

struct PeFile {
    WORD machine = 0;
    WORD magic = 0;
    std::vector<std::string> imports;  // lowercase
    bool valid = false;
};

// The machine, the optional-header kind and the imported DLL names of a PE file read from disk.
PeFile ReadPeFile(const std::wstring& path)
{
    PeFile pe;
    std::ifstream file(path.c_str(), std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto at = [&](size_t offset, size_t size) -> const char* {
        return offset + size <= bytes.size() ? bytes.data() + offset : nullptr;
    };
    IMAGE_DOS_HEADER dos;
    if (!at(0, sizeof dos))
        return pe;
    std::memcpy(&dos, bytes.data(), sizeof dos);
    IMAGE_NT_HEADERS64 nt;
    const size_t ntOffset = static_cast<size_t>(dos.e_lfanew);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || !at(ntOffset, sizeof nt))
        return pe;
    std::memcpy(&nt, bytes.data() + ntOffset, sizeof nt);
    if (nt.Signature != IMAGE_NT_SIGNATURE)
        return pe;
    pe.machine = nt.FileHeader.Machine;
    pe.magic = nt.OptionalHeader.Magic;
    if (pe.magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        return pe;
    const size_t sectionsOffset = ntOffset + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
    if (!at(sectionsOffset, sections.size() * sizeof(IMAGE_SECTION_HEADER)))
        return pe;
    std::memcpy(sections.data(), bytes.data() + sectionsOffset, sections.size() * sizeof(IMAGE_SECTION_HEADER));
    auto fileOffset = [&](DWORD rva) -> size_t {
        for (const auto& section : sections)
            if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
                return rva - section.VirtualAddress + section.PointerToRawData;
        return bytes.size();
    };
    const auto& directory = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (size_t offset = fileOffset(directory.VirtualAddress);; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR import;
        if (!at(offset, sizeof import))
            return pe;
        std::memcpy(&import, bytes.data() + offset, sizeof import);
        if (!import.Name)
            break;
        const size_t nameOffset = fileOffset(import.Name);
        if (!at(nameOffset, 1))
            return pe;
        std::string name(bytes.data() + nameOffset, strnlen(bytes.data() + nameOffset, bytes.size() - nameOffset));
        for (auto& c : name)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        pe.imports.push_back(name);
    }
    pe.valid = true;
    return pe;
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

TEST(TestBed, EveryBuiltProgramAndTheLibraryAre64BitAndImportNoCompilerRuntimeDlls)
{
    std::vector<std::wstring> files;
    for (const wchar_t* pattern : {L"*.exe", L"*.dll"}) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((ModuleFolder() + pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do
            files.push_back(found.cFileName);
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    // This program, the library and the other test programs at least.
    ASSERT_GE(files.size(), 3u);
    bool sawLibrary = false;
    for (const auto& file : files) {
        SCOPED_TRACE(std::string(file.begin(), file.end()));
        sawLibrary = sawLibrary || _wcsicmp(file.c_str(), L"normset.dll") == 0;
        const PeFile pe = ReadPeFile(ModuleFolder() + file);
        ASSERT_TRUE(pe.valid);
        EXPECT_EQ(pe.machine, IMAGE_FILE_MACHINE_AMD64);
        EXPECT_EQ(pe.magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
        // The reading itself is checked by the one DLL every program imports.
        EXPECT_NE(std::find(pe.imports.begin(), pe.imports.end(), "kernel32.dll"), pe.imports.end());
        for (const auto& name : pe.imports) {
            EXPECT_EQ(name.find("libstdc++"), std::string::npos) << name;
            EXPECT_EQ(name.find("libgcc"), std::string::npos) << name;
            EXPECT_EQ(name.find("winpthread"), std::string::npos) << name;
        }
    }
    EXPECT_TRUE(sawLibrary);
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
