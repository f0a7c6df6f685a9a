// Main settings: seven REG_DWORD values under the settings key.
#include "objects/main_settings.h"

#include <gtest/gtest.h>

#include "objects/settings_sandbox.h"

using settings_test::RegistrySandbox;

namespace {

HKEY SettingsKey()
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr), ERROR_SUCCESS);
    return key;
}

void SetDword(HKEY key, const wchar_t* name, DWORD value)
{
    ASSERT_EQ(RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
}

bool ReadDword(HKEY key, const wchar_t* name, DWORD& value)
{
    DWORD type = 0, size = sizeof value;
    return RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
           type == REG_DWORD;
}

void ExpectDefaults(const NMMainSettings& settings)
{
    EXPECT_TRUE(settings.RestoreSelect);
    EXPECT_FALSE(settings.PosLeaderInAssy);
    EXPECT_FALSE(settings.PosLeader3D);
    EXPECT_TRUE(settings.CreateSpcObject);
    EXPECT_EQ(settings.SpcPresetNum, 0);
    EXPECT_TRUE(settings.EditSpcObject);
    EXPECT_FALSE(settings.debug_mode);
}

} // namespace

TEST(MainSettings, NoKeyGivesTheDefaults)
{
    RegistrySandbox registry;
    NMMainSettings settings;
    settings.RestoreSelect = false;
    settings.SpcPresetNum = 5;
    settings.LoadFromRegistry();
    ExpectDefaults(settings);
}

TEST(MainSettings, RoundTripKeepsEveryWrittenValue)
{
    RegistrySandbox registry;
    NMMainSettings saved;
    saved.RestoreSelect = false;
    saved.PosLeaderInAssy = true;
    saved.PosLeader3D = true;
    saved.CreateSpcObject = false;
    saved.SpcPresetNum = -1; // a signed number stored in a DWORD
    saved.EditSpcObject = false;
    ASSERT_TRUE(saved.SaveToRegistry());
    NMMainSettings loaded;
    loaded.LoadFromRegistry();
    EXPECT_FALSE(loaded.RestoreSelect);
    EXPECT_TRUE(loaded.PosLeaderInAssy);
    EXPECT_TRUE(loaded.PosLeader3D);
    EXPECT_FALSE(loaded.CreateSpcObject);
    EXPECT_EQ(loaded.SpcPresetNum, -1);
    EXPECT_FALSE(loaded.EditSpcObject);
}

TEST(MainSettings, DebugModeIsReadButNeverWritten)
{
    RegistrySandbox registry;
    const HKEY key = SettingsKey();
    SetDword(key, L"debug_mode", 1);
    NMMainSettings settings;
    settings.LoadFromRegistry();
    EXPECT_TRUE(settings.debug_mode);
    settings.debug_mode = false;
    ASSERT_TRUE(settings.SaveToRegistry());
    DWORD value = 0;
    ASSERT_TRUE(ReadDword(key, L"debug_mode", value));
    EXPECT_EQ(value, 1u);
    RegDeleteValueW(key, L"debug_mode");
    settings.debug_mode = true;
    ASSERT_TRUE(settings.SaveToRegistry());
    EXPECT_FALSE(ReadDword(key, L"debug_mode", value));
    RegCloseKey(key);
}

TEST(MainSettings, NonZeroBooleanLoadsTrueAndIsSavedBackAsOne)
{
    RegistrySandbox registry;
    const HKEY key = SettingsKey();
    SetDword(key, L"RestoreSelect", 2);
    SetDword(key, L"PosLeader3D", 0xFFFFFFFF);
    NMMainSettings settings;
    settings.LoadFromRegistry();
    EXPECT_TRUE(settings.RestoreSelect);
    EXPECT_TRUE(settings.PosLeader3D);
    ASSERT_TRUE(settings.SaveToRegistry());
    DWORD value = 0;
    ASSERT_TRUE(ReadDword(key, L"RestoreSelect", value));
    EXPECT_EQ(value, 1u);
    ASSERT_TRUE(ReadDword(key, L"PosLeader3D", value));
    EXPECT_EQ(value, 1u);
    RegCloseKey(key);
}

TEST(MainSettings, ValuesThatAreNoDwordGiveTheDefaults)
{
    RegistrySandbox registry;
    const HKEY key = SettingsKey();
    ASSERT_EQ(RegSetValueExW(key, L"RestoreSelect", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"0"), 2 * sizeof(wchar_t)),
              ERROR_SUCCESS);
    const BYTE shortValue[1] = {5};
    ASSERT_EQ(RegSetValueExW(key, L"SpcPresetNum", 0, REG_BINARY, shortValue, sizeof shortValue), ERROR_SUCCESS);
    const BYTE longValue[8] = {0, 0, 0, 0, 1, 0, 0, 0};
    ASSERT_EQ(RegSetValueExW(key, L"CreateSpcObject", 0, REG_BINARY, longValue, sizeof longValue), ERROR_SUCCESS);
    RegCloseKey(key);
    NMMainSettings settings;
    settings.LoadFromRegistry();
    ExpectDefaults(settings);
}

TEST(MainSettings, UnwritableKeyIsReportedAndNothingWritten)
{
    RegistrySandbox registry;
    RegistrySandbox::DenyWrites(kSettingsKeyPath);
    NMMainSettings settings;
    settings.SpcPresetNum = 4;
    EXPECT_FALSE(settings.SaveToRegistry());
    NMMainSettings loaded;
    loaded.LoadFromRegistry();
    EXPECT_EQ(loaded.SpcPresetNum, 0);
}
