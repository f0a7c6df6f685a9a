#pragma once
// Test sandboxes of the settings tests: HKEY_CURRENT_USER redirected into a key of the test's own, a
// folder of the test's own for INI files, and the interface language of the preset defaults.
#include "core/com.h"

#include <sddl.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "core/translate.h"

namespace settings_test {

inline std::wstring CurrentTestName()
{
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + "." + info->name();
    return std::wstring(name.begin(), name.end());
}

// For the life of the object every HKEY_CURRENT_USER path of this process lands in
// HKCU\Software\NormsetTests\<test name>; the key is deleted afterwards.
class RegistrySandbox {
public:
    RegistrySandbox() : path_(L"Software\\NormsetTests\\" + CurrentTestName())
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                                  nullptr), ERROR_SUCCESS);
        EXPECT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, root_), ERROR_SUCCESS);
    }
    ~RegistrySandbox()
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(root_);
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // Gives everyone read access only to HKEY_CURRENT_USER\path (created when missing): the key can be
    // opened and read, but neither opened for writing nor given new values or subkeys.
    static void DenyWrites(const std::wstring& path)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr), ERROR_SUCCESS);
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                                         &readOnly, nullptr));
        EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
        LocalFree(readOnly);
        RegCloseKey(key);
    }

private:
    std::wstring path_;
    HKEY root_ = nullptr;
};

// A fresh folder under the temporary folder, removed with everything in it afterwards.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& suffix = L"")
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = std::filesystem::path(temp) / L"normset_tests" / (CurrentTestName() + suffix);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::wstring File(const std::wstring& name) const { return (path_ / name).wstring(); }
    std::wstring Folder() const { return path_.wstring() + L"\\"; }

private:
    std::filesystem::path path_;
};

// Sets the interface language (and with it the Russian flag) for a scope; the language files are looked
// for in an empty folder, so nothing gets translated.
class ScopedLanguage {
public:
    explicit ScopedLanguage(const std::wstring& language)
    {
        testhooks::ResetLanguage();
        LoadLanguage(folder_.Folder(), language);
    }
    ~ScopedLanguage() { testhooks::ResetLanguage(); }
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

private:
    TempFolder folder_{L".language"};
};

} // namespace settings_test
