#include "core/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A key of the test's own under HKCU\Software\NormsetTests, removed with everything under it afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = info->name();
        path_ = L"Software\\NormsetTests\\" + std::wstring(name.begin(), name.end()) + L"_"
                + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.put(),
                                  nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        key_.Close();
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }

    void SetValue(const std::wstring& name, DWORD type, const void* data, DWORD bytes)
    {
        ASSERT_EQ(RegSetValueExW(key_.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
    }
    void SetString(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ)
    {
        SetValue(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void SetDword(const std::wstring& name, DWORD value) { SetValue(name, REG_DWORD, &value, sizeof value); }
    void CreateSubkey(const std::wstring& subpath)
    {
        HKEY sub = nullptr;
        ASSERT_EQ(RegCreateKeyExW(key_.get(), subpath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(sub);
    }
    bool KeyExists(const std::wstring& path) const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    std::wstring path_;
    RegKey key_;
};

} // namespace

TEST_F(RegistryTest, DwordIsReadOnlyFromADwordValueOtherwiseTheDefault)
{
    SetDword(L"SectionNum", 25);
    SetString(L"Text", L"1234");
    const unsigned long long wide = 0x1122334455667788ull;
    SetValue(L"Quad", REG_QWORD, &wide, sizeof wide);
    const BYTE shortData[2] = {1, 2};
    SetValue(L"Short", REG_BINARY, shortData, sizeof shortData);
    EXPECT_EQ(ReadRegDword(key_.get(), L"SectionNum", 7), 25u);
    EXPECT_EQ(ReadRegDword(key_.get(), L"Missing", 7), 7u);
    EXPECT_EQ(ReadRegDword(key_.get(), L"Text", 7), 7u);
    EXPECT_EQ(ReadRegDword(key_.get(), L"Quad", 7), 7u);
    EXPECT_EQ(ReadRegDword(key_.get(), L"Short", 7), 7u);
    EXPECT_EQ(ReadRegDword(nullptr, L"SectionNum", 7), 7u);
}

TEST_F(RegistryTest, StringIsReadFromTextValuesOtherwiseTheDefault)
{
    SetString(L"Name", L"По умолчанию");
    SetString(L"Expand", L"%TEMP%\\x", REG_EXPAND_SZ);
    SetDword(L"Number", 5);
    EXPECT_EQ(ReadRegString(key_.get(), L"Name", L"def"), L"По умолчанию");
    EXPECT_EQ(ReadRegString(key_.get(), L"Expand", L"def"), L"%TEMP%\\x");
    EXPECT_EQ(ReadRegString(key_.get(), L"Number", L"def"), L"def");
    EXPECT_EQ(ReadRegString(key_.get(), L"Missing", L"def"), L"def");
    EXPECT_EQ(ReadRegString(nullptr, L"Name", L"def"), L"def");
}

TEST_F(RegistryTest, StringWithoutTerminatorIsBoundedByItsSizeAndStopsAtAnInnerZero)
{
    const wchar_t unterminated[] = {L'a', L'b', L'c'};
    SetValue(L"Raw", REG_SZ, unterminated, sizeof unterminated);
    const wchar_t inner[] = {L'a', L'\0', L'b', L'\0'};
    SetValue(L"Inner", REG_SZ, inner, sizeof inner);
    EXPECT_EQ(ReadRegString(key_.get(), L"Raw", L""), L"abc");
    EXPECT_EQ(ReadRegString(key_.get(), L"Inner", L""), L"a");
}

TEST_F(RegistryTest, LongStringsGrowTheBufferOnce)
{
    const std::wstring columns(6000, L'x');  // 12002 bytes, beyond the first 8192
    SetString(L"Columns", columns);
    EXPECT_EQ(ReadRegString(key_.get(), L"Columns", L""), columns);

    std::vector<BYTE> buffer(4);
    DWORD type = REG_NONE;
    EXPECT_EQ(QueryRegValue(key_.get(), L"Columns", buffer, &type), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(buffer.size(), (columns.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(QueryRegValue(key_.get(), L"Missing", buffer, &type), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, EnumeratesSubkeysAndValuesIncludingVeryLongNames)
{
    CreateSubkey(L"PRESET1");
    CreateSubkey(L"PRESET2");
    const std::wstring longName(5000, L'v');  // longer than the first 4096-character name buffer
    SetDword(L"First", 1);
    SetDword(longName, 2);
    std::vector<std::wstring> subkeys = EnumRegSubkeys(key_.get());
    std::sort(subkeys.begin(), subkeys.end());
    EXPECT_EQ(subkeys, (std::vector<std::wstring>{L"PRESET1", L"PRESET2"}));
    std::vector<std::wstring> values = ListRegValues(HKEY_CURRENT_USER, path_);
    std::sort(values.begin(), values.end());
    EXPECT_EQ(values, (std::vector<std::wstring>{L"First", longName}));
    EXPECT_EQ(ListRegSubkeys(HKEY_CURRENT_USER, path_).size(), 2u);
    EXPECT_TRUE(ListRegSubkeys(HKEY_CURRENT_USER, path_ + L"\\Missing").empty());
    EXPECT_TRUE(ListRegValues(HKEY_CURRENT_USER, path_ + L"\\Missing").empty());
    EXPECT_TRUE(EnumRegSubkeys(nullptr).empty());
}

TEST_F(RegistryTest, DeleteValuesRemovesEveryValueButKeepsSubkeys)
{
    SetDword(L"A", 1);
    SetString(L"B", L"b");
    SetString(L"", L"default value");
    CreateSubkey(L"Sub");
    DeleteRegValues(HKEY_CURRENT_USER, path_);
    EXPECT_TRUE(ListRegValues(HKEY_CURRENT_USER, path_).empty());
    EXPECT_TRUE(KeyExists(path_ + L"\\Sub"));
}

TEST_F(RegistryTest, DeleteKeyTreeRemovesNestedKeysAndTheKeyItself)
{
    CreateSubkey(L"PRESET1\\SPC\\COLUMNS");
    CreateSubkey(L"PRESET1\\OTHER");
    CreateSubkey(L"PRESET2");
    SetDword(L"Keep", 1);
    {
        RegKey nested = OpenRegKey(key_.get(), L"PRESET1\\SPC", KEY_WRITE);
        ASSERT_TRUE(nested);
        const DWORD value = 3;
        RegSetValueExW(nested.get(), L"Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    DeleteRegKeyTree(HKEY_CURRENT_USER, path_ + L"\\PRESET1");
    EXPECT_FALSE(KeyExists(path_ + L"\\PRESET1"));
    EXPECT_TRUE(KeyExists(path_ + L"\\PRESET2"));
    EXPECT_EQ(ReadRegDword(key_.get(), L"Keep", 0), 1u);
    DeleteRegKeyTree(HKEY_CURRENT_USER, path_ + L"\\Missing");  // nothing there: nothing happens
    EXPECT_TRUE(KeyExists(path_));
}

TEST_F(RegistryTest, EmptyPathIsRefusedRatherThanEmptyingTheRootKey)
{
    SetDword(L"Value", 1);
    CreateSubkey(L"Sub");
    DeleteRegValues(key_.get(), L"");
    DeleteRegKeyTree(key_.get(), L"");
    EXPECT_EQ(ReadRegDword(key_.get(), L"Value", 0), 1u);
    EXPECT_TRUE(KeyExists(path_ + L"\\Sub"));
}
