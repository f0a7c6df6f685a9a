#include "core/ini_file.h"

#include "core/files.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

TEST(IniFile, ReadsValuesOfTheNamedSectionAndEmptyForMissingOnes)
{
    ScratchFolder folder;
    const std::wstring file = folder / L"presets.ini";
    ASSERT_TRUE(WriteUnicodeFile(L"[Preset1]\r\nName=По умолчанию\r\nSection=25\r\n[Preset2]\r\nName=Второй\r\n", file));
    EXPECT_EQ(GetIniString(file, L"Preset1", L"Name"), L"По умолчанию");
    EXPECT_EQ(GetIniString(file, L"Preset2", L"Name"), L"Второй");
    EXPECT_EQ(GetIniString(file, L"Preset1", L"Columns"), L"");
    EXPECT_EQ(GetIniString(file, L"Preset3", L"Name"), L"");
    EXPECT_EQ(GetIniString(folder / L"missing.ini", L"Preset1", L"Name"), L"");
}

TEST(IniFile, LongValuesAreReadWholeAtAndBeyondTheFirstBufferSize)
{
    ScratchFolder folder;
    const std::wstring file = folder / L"long.ini";
    for (const size_t length : {1022u, 1023u, 1024u, 5000u}) {
        std::wstring value;
        for (size_t i = 0; value.size() < length; ++i)
            value += static_cast<wchar_t>(L'a' + i % 26);
        ASSERT_TRUE(WriteUnicodeFile(L"[Preset1]\r\nColumns=" + value + L"\r\n", file));
        EXPECT_EQ(GetIniString(file, L"Preset1", L"Columns"), value) << length;
    }
}

TEST(IniFile, ASectionIsReadWholeAsGetIniStringReadsItsValues)
{
    ScratchFolder folder;
    const std::wstring file = folder / L"section.ini";
    const std::wstring longValue(5000, L'ж');
    ASSERT_TRUE(WriteUnicodeFile(L"[Preset1]\r\nName=\"В кавычках\"\r\nnoequals\r\nSection=25\r\nEmpty=\r\n"
                                 L"Columns=" + longValue + L"\r\n[Preset2]\r\nName=Второй\r\n", file));
    using Lines = std::vector<std::pair<std::wstring, std::wstring>>;
    const Lines lines = GetIniSection(file, L"Preset1");
    EXPECT_EQ(lines, (Lines{{L"Name", L"В кавычках"}, {L"Section", L"25"}, {L"Empty", L""}, {L"Columns", longValue}}));
    for (const auto& [key, value] : lines)
        EXPECT_EQ(value, GetIniString(file, L"Preset1", key)) << key;
    EXPECT_EQ(GetIniSection(file, L"Preset3"), Lines{});
    EXPECT_EQ(GetIniSection(folder / L"missing.ini", L"Preset1"), Lines{});
}
