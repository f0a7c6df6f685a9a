// Main settings with the preset list: registry layout, INI export and import, the active preset.
#include "objects/all_settings.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include <gtest/gtest.h>

#include "core/files.h"
#include "core/registry.h"
#include "core/trace_log.h"
#include "objects/settings_sandbox.h"

using settings_test::RegistrySandbox;
using settings_test::ScopedLanguage;
using settings_test::TempFolder;

namespace {

const std::wstring kOptions = std::wstring(kSettingsKeyPath) + L"\\SPC_OPTIONS";

std::wstring PresetKey(int i)
{
    return i == 0 ? kOptions : kOptions + L"\\PRESET" + std::to_wstring(i);
}

bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

NMSpcPreset Named(const std::wstring& name, int32_t section)
{
    NMSpcPreset preset(name);
    preset.SectionMode = true;
    preset.SectionNum = section;
    return preset;
}

NMAllSettings WithPresets(std::initializer_list<NMSpcPreset> presets)
{
    NMAllSettings settings;
    settings.Presets.assign(presets);
    return settings;
}

std::vector<std::wstring> NamesOf(int count, const std::wstring& prefix)
{
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i)
        names.push_back(prefix + std::to_wstring(i));
    return names;
}

} // namespace

// --- registry -------------------------------------------------------------------------------------

TEST(AllSettings, NoKeyGivesDefaultsAndOneDefaultPreset)
{
    RegistrySandbox registry;
    ScopedLanguage russian(L"russian");
    NMAllSettings settings;
    settings.LoadFromRegistry();
    EXPECT_TRUE(settings.RestoreSelect);
    EXPECT_TRUE(settings.CreateSpcObject);
    EXPECT_TRUE(settings.EditSpcObject);
    EXPECT_FALSE(settings.PosLeaderInAssy);
    EXPECT_FALSE(settings.PosLeader3D);
    EXPECT_EQ(settings.SpcPresetNum, 0);
    ASSERT_EQ(settings.Presets.size(), 1u);
    EXPECT_EQ(settings.Presets[0].PresetName, L"По умолчанию");
    EXPECT_EQ(settings.Presets[0].SectionNum, 25);
    EXPECT_EQ(settings.Presets[0].NestedSectionNum, 25);
    EXPECT_EQ(settings.Presets[0].Columns, L"5.1=Designation,VELMAR_SPEC_PATTERN");
}

TEST(AllSettings, NoKeyUnderAnotherLanguageGivesSection20)
{
    RegistrySandbox registry;
    ScopedLanguage german(L"german");
    NMAllSettings settings;
    settings.LoadFromRegistry();
    ASSERT_EQ(settings.Presets.size(), 1u);
    EXPECT_EQ(settings.Presets[0].SectionNum, 20);
    EXPECT_EQ(settings.Presets[0].NestedSectionNum, 20);
}

TEST(AllSettings, RegistryRoundTripKeepsMainValuesAndPresetsInOrder)
{
    RegistrySandbox registry;
    NMAllSettings saved = WithPresets({Named(L"Первый", 10), Named(L"Second", 11), Named(L"Third", 12)});
    saved.SpcPresetNum = 2;
    saved.PosLeader3D = true;
    ASSERT_TRUE(saved.SaveToRegistry());
    EXPECT_TRUE(KeyExists(PresetKey(2)));
    EXPECT_FALSE(KeyExists(PresetKey(3)));

    NMAllSettings loaded;
    loaded.LoadFromRegistry();
    EXPECT_EQ(loaded.SpcPresetNum, 2);
    EXPECT_TRUE(loaded.PosLeader3D);
    EXPECT_EQ(loaded.GetPresetNames(), (std::vector<std::wstring>{L"Первый", L"Second", L"Third"}));
    EXPECT_EQ(loaded.Presets[1].SectionNum, 11);
    EXPECT_TRUE(loaded.Presets[2].SectionMode);
    EXPECT_EQ(loaded.GetActivePreset().PresetName, L"Third");
}

TEST(AllSettings, MissingPresetKeyEndsTheList)
{
    RegistrySandbox registry;
    ASSERT_TRUE(Named(L"zero", 1).SaveToRegistry(PresetKey(0)));
    ASSERT_TRUE(Named(L"one", 2).SaveToRegistry(PresetKey(1)));
    ASSERT_TRUE(Named(L"three", 4).SaveToRegistry(PresetKey(3)));
    NMAllSettings settings;
    settings.LoadFromRegistry();
    EXPECT_EQ(settings.GetPresetNames(), (std::vector<std::wstring>{L"zero", L"one"}));
}

TEST(AllSettings, SavingAShorterListRemovesTheKeysPastIt)
{
    RegistrySandbox registry;
    NMAllSettings five = WithPresets({Named(L"a", 1), Named(L"b", 2), Named(L"c", 3), Named(L"d", 4), Named(L"e", 5)});
    ASSERT_TRUE(five.SaveToRegistry());
    ASSERT_TRUE(KeyExists(PresetKey(4)));
    NMAllSettings two = WithPresets({Named(L"x", 7), Named(L"y", 8)});
    ASSERT_TRUE(two.SaveToRegistry());
    EXPECT_TRUE(KeyExists(PresetKey(1)));
    for (int i = 2; i <= 4; ++i)
        EXPECT_FALSE(KeyExists(PresetKey(i))) << i;
    NMAllSettings loaded;
    loaded.LoadFromRegistry();
    EXPECT_EQ(loaded.GetPresetNames(), (std::vector<std::wstring>{L"x", L"y"}));
    EXPECT_EQ(loaded.Presets[1].SectionNum, 8);
}

TEST(AllSettings, FailedSaveReportsItAndWritesBackTheStoredSettingsWhole)
{
    struct Row {
        std::wstring denied;                  // the key no write reaches
        std::vector<std::wstring> now, saved; // the stored list, preset i with section i + 1; the list saved
        std::wstring undeletable;             // the key whose deletion fails
    };
    const Row rows[] = {
        // A preset key fails, among the stored list's own.
        {PresetKey(2), {L"a", L"b", L"c", L"d"}, {L"x", L"y", L"z"}, L""},
        // The main values fail after the presets: the keys a longer list wrote past the stored one go again.
        {kSettingsKeyPath, {L"a", L"b"}, {L"w", L"x", L"y", L"z"}, L""},
        // A key the shorter list leaves stays: it would come back behind a gap.
        {L"", {L"a", L"b", L"c", L"d"}, {L"x", L"y"}, PresetKey(3)},
    };
    for (const Row& row : rows) {
        RegistrySandbox registry;
        NMAllSettings stored;
        for (size_t i = 0; i < row.now.size(); ++i)
            stored.Presets.push_back(Named(row.now[i], static_cast<int32_t>(i) + 1));
        stored.SpcPresetNum = static_cast<int32_t>(row.now.size()) - 1;
        ASSERT_TRUE(stored.SaveToRegistry());
        if (!row.denied.empty())
            RegistrySandbox::DenyWrites(row.denied);
        const testhooks::ScopedUndeletableRegKey undeletable(HKEY_CURRENT_USER, row.undeletable);
        NMAllSettings other;
        for (const std::wstring& name : row.saved)
            other.Presets.push_back(Named(name, 50));
        other.SpcPresetNum = 0;
        other.RestoreSelect = false;
        EXPECT_FALSE(other.SaveToRegistry());
        // The settings stored before, whole: neither the new list nor a mix of both.
        NMAllSettings loaded;
        loaded.LoadFromRegistry();
        EXPECT_EQ(loaded.GetPresetNames(), row.now);
        for (size_t i = 0; i < loaded.Presets.size(); ++i)
            EXPECT_EQ(loaded.Presets[i].SectionNum, static_cast<int32_t>(i) + 1) << i;
        EXPECT_EQ(loaded.SpcPresetNum, stored.SpcPresetNum);
        EXPECT_TRUE(loaded.RestoreSelect);
        for (size_t i = row.now.size(); i < NMAllSettings::kMaxPresets; ++i)
            EXPECT_FALSE(KeyExists(PresetKey(static_cast<int>(i)))) << i;
    }
}

TEST(AllSettings, SaveWritesAtMostTheHundredPresetsThatALoadReads)
{
    RegistrySandbox registry;
    NMAllSettings settings;
    for (const auto& name : NamesOf(105, L"p"))
        settings.Presets.emplace_back(name);
    TraceLog log(L"test", false);
    ASSERT_TRUE(settings.SaveToRegistry());
    EXPECT_TRUE(KeyExists(PresetKey(99)));
    EXPECT_FALSE(KeyExists(PresetKey(100)));
    EXPECT_NE(log.Text().find(L"presets not saved=5"), std::wstring::npos);
    NMAllSettings loaded;
    loaded.LoadFromRegistry();
    EXPECT_EQ(loaded.GetPresetNames(), NamesOf(100, L"p"));
}

TEST(AllSettings, DeleteAllPresetsRemovesSubkeysAndKeepsPresetZero)
{
    RegistrySandbox registry;
    NMAllSettings settings = WithPresets({Named(L"a", 1), Named(L"b", 2), Named(L"c", 3)});
    ASSERT_TRUE(settings.SaveToRegistry());
    HKEY nested = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (PresetKey(2) + L"\\Extra\\Deeper").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &nested, nullptr), ERROR_SUCCESS);
    RegCloseKey(nested);
    EXPECT_TRUE(settings.DeleteAllPresetsFromRegistry());
    EXPECT_FALSE(KeyExists(PresetKey(1)));
    EXPECT_FALSE(KeyExists(PresetKey(2)));
    NMAllSettings loaded;
    loaded.LoadFromRegistry();
    EXPECT_EQ(loaded.GetPresetNames(), (std::vector<std::wstring>{L"a"}));
}

// --- the active preset ----------------------------------------------------------------------------

TEST(AllSettings, ActivePresetOutsideTheListIsPresetZero)
{
    NMAllSettings settings = WithPresets({Named(L"a", 1), Named(L"b", 2)});
    settings.SpcPresetNum = 1;
    EXPECT_EQ(&settings.GetActivePreset(), &settings.Presets[1]);
    for (int32_t outside : {2, -1, 1000}) {
        settings.SpcPresetNum = outside;
        EXPECT_EQ(&settings.GetActivePreset(), &settings.Presets[0]) << outside;
    }
}

TEST(AllSettings, ActivePresetOfAnEmptyListFails)
{
    NMAllSettings settings;
    EXPECT_THROW(settings.GetActivePreset(), std::out_of_range);
}

// --- INI export and import ------------------------------------------------------------------------

TEST(AllSettings, ExportedFileBeginsWithTheUnicodeMark)
{
    TempFolder folder;
    const std::wstring file = folder.File(L"SpcSettings.ini");
    ASSERT_TRUE(WriteUnicodeFile(L"old text that must go", file));
    const NMAllSettings settings = WithPresets({Named(L"Крепёж", 3)});
    ASSERT_TRUE(settings.SaveToIniFile(file));
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
    const std::wstring text = ReadUnicodeFile(file);
    EXPECT_EQ(text.find(L"old text"), std::wstring::npos);
    EXPECT_NE(text.find(L"[Preset0]"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"PresetName=\"Крепёж\""), std::wstring::npos) << text;
}

TEST(AllSettings, ExportThenImportIntoOtherSettingsAddsEveryPreset)
{
    TempFolder folder;
    const std::wstring file = folder.File(L"SpcSettings.ini");
    NMSpcPreset custom = Named(L"Болты", 30);
    custom.ExtSectionMode = 1;
    custom.NestedBlockNum = 3;
    custom.Columns = L"5.1=Designation,P;8.1=Mass";
    const NMAllSettings exported = WithPresets({Named(L"По умолчанию", 25), custom});
    ASSERT_TRUE(exported.SaveToIniFile(file));

    NMAllSettings imported = WithPresets({Named(L"Other", 5)});
    uint32_t replaced = 7, added = 7;
    ASSERT_TRUE(imported.LoadFromIniFile(file, replaced, added));
    EXPECT_EQ(replaced, 0u);
    EXPECT_EQ(added, 2u);
    ASSERT_EQ(imported.GetPresetNames(), (std::vector<std::wstring>{L"Other", L"По умолчанию", L"Болты"}));
    const NMSpcPreset& back = imported.Presets[2];
    EXPECT_TRUE(back.SectionMode);
    EXPECT_EQ(back.SectionNum, 30);
    EXPECT_EQ(back.ExtSectionMode, 1);
    EXPECT_EQ(back.NestedBlockNum, 3);
    EXPECT_EQ(back.NestedSectionNum, custom.NestedSectionNum);
    EXPECT_EQ(back.Columns, custom.Columns);
}

TEST(AllSettings, ImportReplacesByNameSkipsGapsAndAppendsNewNames)
{
    TempFolder folder;
    const std::wstring file = folder.File(L"hand.ini");
    ASSERT_TRUE(WriteUnicodeFile(L"[Preset0]\r\nPresetName=Known\r\nSectionNum=44\r\n"
                                 L"[Preset1]\r\nSectionNum=45\r\n"
                                 L"[Preset2]\r\nPresetName=New\r\nSectionNum=46\r\n"
                                 L"[Preset7]\r\nPresetName=known\r\nSectionNum=47\r\n",
                                 file));
    NMAllSettings settings = WithPresets({Named(L"First", 1), Named(L"Known", 2)});
    uint32_t replaced = 0, added = 0;
    ASSERT_TRUE(settings.LoadFromIniFile(file, replaced, added));
    EXPECT_EQ(replaced, 1u);
    EXPECT_EQ(added, 2u); // "known" differs in case: a new preset
    EXPECT_EQ(settings.GetPresetNames(), (std::vector<std::wstring>{L"First", L"Known", L"New", L"known"}));
    EXPECT_EQ(settings.Presets[0].SectionNum, 1);
    EXPECT_EQ(settings.Presets[1].SectionNum, 44);
    EXPECT_EQ(settings.Presets[2].SectionNum, 46);
    EXPECT_EQ(settings.Presets[3].SectionNum, 47);
}

TEST(AllSettings, ImportAppendsTwoSectionsOfOneNewNameBoth)
{
    TempFolder folder;
    const std::wstring file = folder.File(L"twice.ini");
    ASSERT_TRUE(WriteUnicodeFile(L"[Preset0]\r\nPresetName=Twice\r\nSectionNum=1\r\n"
                                 L"[Preset1]\r\nPresetName=Twice\r\nSectionNum=2\r\n",
                                 file));
    NMAllSettings settings = WithPresets({Named(L"First", 1)});
    uint32_t replaced = 0, added = 0;
    ASSERT_TRUE(settings.LoadFromIniFile(file, replaced, added));
    EXPECT_EQ(added, 2u);
    EXPECT_EQ(settings.GetPresetNames(), (std::vector<std::wstring>{L"First", L"Twice", L"Twice"}));
}

TEST(AllSettings, ImportOfAFileThatCannotBeReadReportsItAndChangesNothing)
{
    TempFolder folder;
    NMAllSettings settings = WithPresets({Named(L"First", 1)});
    uint32_t replaced = 5, added = 5;
    EXPECT_FALSE(settings.LoadFromIniFile(folder.File(L"missing.ini"), replaced, added));
    EXPECT_EQ(replaced, 0u);
    EXPECT_EQ(added, 0u);
    EXPECT_FALSE(settings.LoadFromIniFile(folder.Folder(), replaced, added));
    EXPECT_EQ(settings.GetPresetNames(), (std::vector<std::wstring>{L"First"}));
    EXPECT_EQ(settings.Presets[0].SectionNum, 1);
}

TEST(AllSettings, ImportStopsAddingAtAHundredPresetsAndTracesTheRest)
{
    TempFolder folder;
    const std::wstring file = folder.File(L"full.ini");
    ASSERT_TRUE(WriteUnicodeFile(L"[Preset0]\r\nPresetName=new0\r\n[Preset1]\r\nPresetName=p5\r\nSectionNum=55\r\n"
                                 L"[Preset2]\r\nPresetName=new2\r\n[Preset3]\r\nPresetName=new3\r\n",
                                 file));
    NMAllSettings settings;
    for (const auto& name : NamesOf(99, L"p"))
        settings.Presets.emplace_back(name);
    TraceLog log(L"test", false);
    uint32_t replaced = 0, added = 0;
    ASSERT_TRUE(settings.LoadFromIniFile(file, replaced, added));
    EXPECT_EQ(added, 1u);
    EXPECT_EQ(replaced, 1u); // a known name is still taken when the list is full
    ASSERT_EQ(settings.Presets.size(), 100u);
    EXPECT_EQ(settings.Presets[99].PresetName, L"new0");
    EXPECT_EQ(settings.Presets[5].SectionNum, 55);
    EXPECT_NE(log.Text().find(L"=\"Preset2\""), std::wstring::npos) << log.Text();
    EXPECT_NE(log.Text().find(L"=\"Preset3\""), std::wstring::npos) << log.Text();
}

TEST(AllSettings, ExportWritesAtMostTheHundredSectionsThatAnImportReads)
{
    TempFolder folder;
    const std::wstring file = folder.File(L"many.ini");
    NMAllSettings settings;
    for (const auto& name : NamesOf(101, L"p"))
        settings.Presets.emplace_back(name);
    ASSERT_TRUE(settings.SaveToIniFile(file));
    const std::wstring text = ReadUnicodeFile(file);
    EXPECT_NE(text.find(L"[Preset99]"), std::wstring::npos);
    EXPECT_EQ(text.find(L"[Preset100]"), std::wstring::npos);
}

TEST(AllSettings, ExportIntoAFolderThatDoesNotExistReportsFailure)
{
    TempFolder folder;
    const NMAllSettings settings = WithPresets({Named(L"a", 1)});
    EXPECT_FALSE(settings.SaveToIniFile(folder.File(L"no such folder\\SpcSettings.ini")));
}
