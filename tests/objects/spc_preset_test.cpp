// Specification presets: defaults, the four stored forms, Correct and the copy rules.
#include "objects/spc_preset.h"

#include <gtest/gtest.h>

#include "core/data_convert_error.h"
#include "core/files.h"
#include "core/trace_log.h"
#include "core/variables.h"
#include "objects/settings_sandbox.h"

using settings_test::RegistrySandbox;
using settings_test::ScopedLanguage;
using settings_test::TempFolder;

namespace {

const wchar_t kKey[] = L"Software\\Orbex\\Normset\\RNMClient\\VELMAR_SETTINGS\\SPC_OPTIONS";

// A preset with no field at its default.
NMSpcPreset Customised()
{
    NMSpcPreset preset(L"Крепёж ГОСТ");
    preset.SectionMode = true;
    preset.SectionNum = 30;
    preset.SubSectionMode = true;
    preset.SubSectionNum = 4;
    preset.ExtSectionMode = 2;
    preset.NestedBlockNum = 7;
    preset.NestedSectionNum = 35;
    preset.AdditionalBlockNum = -3;
    preset.ColumnsMode = true;
    preset.Columns = L"5.1=Designation,P;6.1=Name";
    return preset;
}

void ExpectSameFields(const NMSpcPreset& actual, const NMSpcPreset& expected)
{
    EXPECT_EQ(actual.PresetName, expected.PresetName);
    EXPECT_EQ(actual.SectionMode, expected.SectionMode);
    EXPECT_EQ(actual.SectionNum, expected.SectionNum);
    EXPECT_EQ(actual.SubSectionMode, expected.SubSectionMode);
    EXPECT_EQ(actual.SubSectionNum, expected.SubSectionNum);
    EXPECT_EQ(actual.ExtSectionMode, expected.ExtSectionMode);
    EXPECT_EQ(actual.NestedBlockNum, expected.NestedBlockNum);
    EXPECT_EQ(actual.NestedSectionNum, expected.NestedSectionNum);
    EXPECT_EQ(actual.AdditionalBlockNum, expected.AdditionalBlockNum);
    EXPECT_EQ(actual.ColumnsMode, expected.ColumnsMode);
    EXPECT_EQ(actual.Columns, expected.Columns);
}

void ExpectDefaultNumbers(const NMSpcPreset& preset, int32_t section)
{
    EXPECT_FALSE(preset.SectionMode);
    EXPECT_EQ(preset.SectionNum, section);
    EXPECT_FALSE(preset.SubSectionMode);
    EXPECT_EQ(preset.SubSectionNum, 0);
    EXPECT_EQ(preset.ExtSectionMode, 0);
    EXPECT_EQ(preset.NestedBlockNum, 1);
    EXPECT_EQ(preset.NestedSectionNum, section);
    EXPECT_EQ(preset.AdditionalBlockNum, 1);
    EXPECT_FALSE(preset.ColumnsMode);
}

HKEY OpenTestKey(const std::wstring& path)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

void SetRaw(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

} // namespace

// --- defaults -------------------------------------------------------------------------------------

TEST(Preset, NamedPresetTakesSection25UnderTheRussianInterface)
{
    ScopedLanguage russian(L"Russian");
    const NMSpcPreset preset(L"Мой");
    EXPECT_EQ(preset.PresetName, L"Мой");
    ExpectDefaultNumbers(preset, 25);
    EXPECT_EQ(preset.Columns, L"5.1=Designation,VELMAR_SPEC_PATTERN");
}

TEST(Preset, NamedPresetTakesSection20UnderAnyOtherInterface)
{
    ScopedLanguage english(L"english");
    const NMSpcPreset preset(L"Mine");
    ExpectDefaultNumbers(preset, 20);
    EXPECT_EQ(preset.Columns, L"5.1=Designation,VELMAR_SPEC_PATTERN");
}

TEST(Preset, DefaultConstructedPresetHasEmptyTextsAndDefaultNumbers)
{
    {
        ScopedLanguage russian(L"russian");
        const NMSpcPreset preset;
        EXPECT_EQ(preset.PresetName, L"");
        EXPECT_EQ(preset.Columns, L"");
        ExpectDefaultNumbers(preset, 25);
    }
    const NMSpcPreset preset;
    ExpectDefaultNumbers(preset, 20);
}

// --- part variables -------------------------------------------------------------------------------

TEST(Preset, PartVariablesGiveNumbersAndColumnsWithDefaultModes)
{
    const Variables vars{{L"spcSection", L"15"}, {L"spcSubSection", L"2"}, {L"spcNestedBlock", L"3"},
                         {L"spcNestedSection", L"40"}, {L"spcAdditionalBlock", L"-1"}, {L"spcColumns", L"5.1=A"},
                         {L"Designation", L"ignored"}};
    const NMSpcPreset preset(vars);
    EXPECT_EQ(preset.PresetName, L"");
    EXPECT_EQ(preset.SectionNum, 15);
    EXPECT_EQ(preset.SubSectionNum, 2);
    EXPECT_EQ(preset.NestedBlockNum, 3);
    EXPECT_EQ(preset.NestedSectionNum, 40);
    EXPECT_EQ(preset.AdditionalBlockNum, -1);
    EXPECT_EQ(preset.Columns, L"5.1=A");
    EXPECT_FALSE(preset.SectionMode);
    EXPECT_FALSE(preset.SubSectionMode);
    EXPECT_EQ(preset.ExtSectionMode, 0);
    EXPECT_FALSE(preset.ColumnsMode);
}

TEST(Preset, PartVariablesMissingOrNotANumberFail)
{
    Variables vars{{L"spcSection", L"15"}, {L"spcSubSection", L"2"}, {L"spcNestedBlock", L"3"},
                   {L"spcNestedSection", L"40"}, {L"spcAdditionalBlock", L"1"}};
    try {
        NMSpcPreset preset(vars);
        FAIL() << "no failure for the missing spcColumns";
    } catch (const std::wstring& message) {
        EXPECT_EQ(message, L"No variable with name \"spcColumns\"");
    }
    vars[L"spcColumns"] = L"";
    vars[L"spcNestedBlock"] = L"NULL_VALUE";
    EXPECT_THROW(NMSpcPreset{vars}, DataConvertError);
}

// --- registry -------------------------------------------------------------------------------------

TEST(Preset, RegistryRoundTripKeepsEveryField)
{
    RegistrySandbox registry;
    const NMSpcPreset saved = Customised();
    ASSERT_TRUE(saved.SaveToRegistry(kKey));
    NMSpcPreset loaded;
    EXPECT_TRUE(loaded.LoadFromRegistry(kKey));
    ExpectSameFields(loaded, saved);
}

TEST(Preset, RegistryFormHasStringsAndDwordsAndBooleansAsOne)
{
    RegistrySandbox registry;
    NMSpcPreset preset = Customised();
    preset.SectionMode = true;
    ASSERT_TRUE(preset.SaveToRegistry(kKey));
    const HKEY key = OpenTestKey(kKey);
    DWORD type = 0, value = 0, size = sizeof value;
    ASSERT_EQ(RegQueryValueExW(key, L"SectionMode", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 1u);
    size = sizeof value;
    ASSERT_EQ(RegQueryValueExW(key, L"AdditionalBlockNum", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 0xFFFFFFFDu);
    wchar_t text[64] = {};
    size = sizeof text;
    ASSERT_EQ(RegQueryValueExW(key, L"PresetName", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, (preset.PresetName.size() + 1) * sizeof(wchar_t)); // with the terminating zero
    DWORD values = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    EXPECT_EQ(values, 11u);
    RegCloseKey(key);
}

TEST(Preset, KeyWithOnlyANameLoadsDefaultsAndReportsTheKey)
{
    RegistrySandbox registry;
    const HKEY key = OpenTestKey(kKey);
    const std::wstring name = L"Только имя";
    SetRaw(key, L"PresetName", REG_SZ, name.c_str(), static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    ScopedLanguage russian(L"russian");
    NMSpcPreset preset = Customised();
    EXPECT_TRUE(preset.LoadFromRegistry(kKey));
    EXPECT_EQ(preset.PresetName, name);
    ExpectDefaultNumbers(preset, 25);
    EXPECT_EQ(preset.Columns, L"5.1=Designation,VELMAR_SPEC_PATTERN");
}

TEST(Preset, MissingKeyLoadsDefaultsWithTheDefaultName)
{
    RegistrySandbox registry;
    NMSpcPreset preset = Customised();
    EXPECT_FALSE(preset.LoadFromRegistry(kKey));
    EXPECT_EQ(preset.PresetName, L"По умолчанию");
    ExpectDefaultNumbers(preset, 20);
    EXPECT_EQ(preset.Columns, L"5.1=Designation,VELMAR_SPEC_PATTERN");
}

TEST(Preset, HandEditedValuesOfAnotherTypeOrSizeGiveTheDefaults)
{
    RegistrySandbox registry;
    const HKEY key = OpenTestKey(kKey);
    SetRaw(key, L"SectionNum", REG_SZ, L"30", 3 * sizeof(wchar_t));
    const BYTE shortValue[2] = {7, 0};
    SetRaw(key, L"SubSectionNum", REG_BINARY, shortValue, sizeof shortValue);
    const ULONGLONG wide = 0x100000005ull;
    SetRaw(key, L"NestedBlockNum", REG_QWORD, &wide, sizeof wide);
    const DWORD two = 2;
    SetRaw(key, L"ColumnsMode", REG_DWORD, &two, sizeof two);
    RegCloseKey(key);
    NMSpcPreset preset;
    EXPECT_TRUE(preset.LoadFromRegistry(kKey));
    EXPECT_EQ(preset.SectionNum, 20);
    EXPECT_EQ(preset.SubSectionNum, 0);
    EXPECT_EQ(preset.NestedBlockNum, 1);
    EXPECT_TRUE(preset.ColumnsMode); // any non-zero number is true
}

TEST(Preset, StringStoredWithoutItsTerminatorIsReadExactly)
{
    RegistrySandbox registry;
    const HKEY key = OpenTestKey(kKey);
    SetRaw(key, L"Columns", REG_SZ, L"5.1=A", 5 * sizeof(wchar_t));
    RegCloseKey(key);
    NMSpcPreset preset;
    preset.LoadFromRegistry(kKey);
    EXPECT_EQ(preset.Columns, L"5.1=A");
}

TEST(Preset, SavingIntoAKeyThatCannotBeCreatedReportsFailure)
{
    RegistrySandbox registry;
    const std::wstring tooLong = std::wstring(kKey) + L"\\" + std::wstring(300, L'x');
    EXPECT_FALSE(Customised().SaveToRegistry(tooLong));
    NMSpcPreset preset;
    EXPECT_FALSE(preset.LoadFromRegistry(tooLong));
}

// --- INI ------------------------------------------------------------------------------------------

TEST(Preset, IniRoundTripKeepsEveryFieldOfAUnicodeFile)
{
    TempFolder folder;
    const std::wstring file = folder.File(L"SpcSettings.ini");
    ASSERT_TRUE(WriteUnicodeFile(L"", file));
    const NMSpcPreset saved = Customised();
    ASSERT_TRUE(saved.SaveToIni(file, L"Preset3"));
    NMSpcPreset loaded(L"other");
    loaded.LoadFromIni(file, L"Preset3");
    ExpectSameFields(loaded, saved);
    const std::wstring text = ReadUnicodeFile(file);
    EXPECT_NE(text.find(L"SectionMode=1"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"SubSectionMode=1"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"AdditionalBlockNum=-3"), std::wstring::npos) << text;
}

TEST(Preset, IniSectionWithoutValuesReadsZerosAndEmptyTexts)
{
    TempFolder folder;
    const std::wstring file = folder.File(L"hand.ini");
    ASSERT_TRUE(WriteUnicodeFile(L"[Preset0]\r\nPresetName=Hand\r\nSectionMode=1\r\n", file));
    NMSpcPreset preset = Customised();
    preset.LoadFromIni(file, L"Preset0");
    EXPECT_EQ(preset.PresetName, L"Hand");
    EXPECT_TRUE(preset.SectionMode);
    EXPECT_EQ(preset.SectionNum, 0); // not the registry default
    EXPECT_EQ(preset.NestedBlockNum, 0);
    EXPECT_EQ(preset.AdditionalBlockNum, 0);
    EXPECT_FALSE(preset.ColumnsMode);
    EXPECT_EQ(preset.Columns, L"");
}

TEST(Preset, IniColumnsLongerThanAnyBufferAreReadWhole)
{
    TempFolder folder;
    const std::wstring file = folder.File(L"long.ini");
    ASSERT_TRUE(WriteUnicodeFile(L"", file));
    NMSpcPreset saved = Customised();
    saved.Columns.clear();
    for (int i = 1; i <= 400; ++i)
        saved.Columns += L"5." + std::to_wstring(i) + L"=Variable" + std::to_wstring(i) + L";";
    ASSERT_GT(saved.Columns.size(), 4096u);
    ASSERT_TRUE(saved.SaveToIni(file, L"Preset0"));
    NMSpcPreset loaded;
    loaded.LoadFromIni(file, L"Preset0");
    EXPECT_EQ(loaded.Columns, saved.Columns);
}

// --- preset text ----------------------------------------------------------------------------------

TEST(Preset, TextImposesTheGivenKeysAndKeepsTheOthers)
{
    NMSpcPreset preset(L"Base");
    preset.LoadFromString(L"SectionMode=1\nSectionNum=30\nColumns=5.1=A");
    EXPECT_TRUE(preset.SectionMode);
    EXPECT_EQ(preset.SectionNum, 30);
    EXPECT_EQ(preset.Columns, L"5.1=A");
    EXPECT_EQ(preset.PresetName, L"Base");
    EXPECT_EQ(preset.NestedBlockNum, 1);
}

TEST(Preset, TextKeysMustMatchExactly)
{
    NMSpcPreset preset(L"Base");
    const int32_t section = preset.SectionNum;
    preset.LoadFromString(L"SectionNum = 30\nsectionnum=31\nno equals sign\n=5\nPresetName=\nExtSectionMode=2");
    EXPECT_EQ(preset.SectionNum, section);
    EXPECT_EQ(preset.PresetName, L"");
    EXPECT_EQ(preset.ExtSectionMode, 2);
}

TEST(Preset, TextNumbersMustBeUnsignedDecimals)
{
    for (const std::wstring text : {L"SectionNum=", L"SectionNum=-1", L"SectionNum=3x", L"ColumnsMode=yes",
                                    L"SectionMode=1\r\nSectionNum=30\r\n"}) {
        NMSpcPreset preset(L"Base");
        EXPECT_THROW(preset.LoadFromString(text), DataConvertError) << text;
    }
    NMSpcPreset preset(L"Base");
    preset.LoadFromString(L"ColumnsMode=7\nSubSectionMode=0\nPresetName=Windows\r");
    EXPECT_TRUE(preset.ColumnsMode);
    EXPECT_FALSE(preset.SubSectionMode);
    EXPECT_EQ(preset.PresetName, L"Windows\r"); // texts are taken as they stand
}

// --- Correct --------------------------------------------------------------------------------------

TEST(Preset, CorrectWithAdditionalBlockCopiesOnlyThatBlock)
{
    NMSpcPreset own(L"own");
    own.NestedBlockNum = 5;
    own.NestedSectionNum = 6;
    own.AdditionalBlockNum = 7;
    NMSpcPreset active = Customised(); // ExtSectionMode 2
    own.Correct(active);
    EXPECT_EQ(own.ExtSectionMode, 2);
    EXPECT_EQ(own.AdditionalBlockNum, -3);
    EXPECT_EQ(own.NestedBlockNum, 5);
    EXPECT_EQ(own.NestedSectionNum, 6);

    active.ExtSectionMode = 1;
    NMSpcPreset nested(L"own");
    nested.AdditionalBlockNum = 7;
    nested.Correct(active);
    EXPECT_EQ(nested.NestedBlockNum, 7);
    EXPECT_EQ(nested.NestedSectionNum, 35);
    EXPECT_EQ(nested.AdditionalBlockNum, 7);
}

TEST(Preset, CorrectTakesImposedGroupsAndKeepsOwnNumbersOfDefaultGroups)
{
    NMSpcPreset own(Variables{{L"spcSection", L"15"}, {L"spcSubSection", L"2"}, {L"spcNestedBlock", L"3"},
                              {L"spcNestedSection", L"40"}, {L"spcAdditionalBlock", L"9"}, {L"spcColumns", L"6.1=N"}});
    own.PresetName = L"own";
    own.ParsedColumns.PatternValue = 3;
    NMSpcPreset imposing = Customised();
    own.Correct(imposing);
    EXPECT_EQ(own.ParsedColumns.PatternValue, 3.0);
    EXPECT_TRUE(own.SectionMode);
    EXPECT_EQ(own.SectionNum, 30);
    EXPECT_EQ(own.SubSectionNum, 4);
    EXPECT_EQ(own.Columns, imposing.Columns);
    EXPECT_EQ(own.PresetName, L"own");

    NMSpcPreset own2(Variables{{L"spcSection", L"15"}, {L"spcSubSection", L"2"}, {L"spcNestedBlock", L"3"},
                               {L"spcNestedSection", L"40"}, {L"spcAdditionalBlock", L"9"}, {L"spcColumns", L"6.1=N"}});
    own2.SectionMode = true;
    own2.ColumnsMode = true;
    NMSpcPreset leaving(L"defaults");
    leaving.ExtSectionMode = 0;
    own2.Correct(leaving);
    EXPECT_FALSE(own2.SectionMode);
    EXPECT_EQ(own2.SectionNum, 15);
    EXPECT_FALSE(own2.SubSectionMode);
    EXPECT_EQ(own2.SubSectionNum, 2);
    EXPECT_EQ(own2.ExtSectionMode, 0);
    EXPECT_EQ(own2.NestedBlockNum, 3);
    EXPECT_EQ(own2.AdditionalBlockNum, 9);
    EXPECT_FALSE(own2.ColumnsMode);
    EXPECT_EQ(own2.Columns, L"6.1=N");
}

// --- copies ---------------------------------------------------------------------------------------

TEST(Preset, CopyAndAssignmentCarryEveryFieldButTheParsedColumns)
{
    NMSpcPreset source = Customised();
    ParseColumnSet(source.ParsedColumns, source.Columns, Variables{{L"P", L"2|a"}});
    ASSERT_EQ(source.ParsedColumns.Records.size(), 2u);

    const NMSpcPreset copy(source);
    ExpectSameFields(copy, source);
    EXPECT_TRUE(copy.ParsedColumns.Records.empty());
    EXPECT_EQ(copy.ParsedColumns.PatternValue, 0.0);

    NMSpcPreset target(L"target");
    ParseColumnSet(target.ParsedColumns, L"8.1=X", Variables{});
    target = source;
    ExpectSameFields(target, source);
    ASSERT_EQ(target.ParsedColumns.Records.size(), 1u); // keeps its own
    EXPECT_EQ(target.ParsedColumns.Records[0].Type, 8);

    target = target;
    ExpectSameFields(target, source);
}

TEST(Preset, DebugInfoWritesEveryFieldByName)
{
    TraceLog log(L"test", false);
    Customised().DebugInfo();
    const std::wstring& text = log.Text();
    for (const wchar_t* record : {L"(void*) this=0x", L"PresetName=\"Крепёж ГОСТ\"", L"SectionMode=1", L"SectionNum=30",
                                  L"SubSectionMode=1", L"SubSectionNum=4", L"ExtSectionMode=2", L"NestedBlockNum=7",
                                  L"NestedSectionNum=35", L"AdditionalBlockNum=-3", L"ColumnsMode=1",
                                  L"Columns=\"5.1=Designation,P;6.1=Name\""})
        EXPECT_NE(text.find(record), std::wstring::npos) << record << "\n" << text;
}
