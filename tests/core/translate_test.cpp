#include "core/translate.h"

#include "core/files.h"
#include "core/trace_log.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

namespace {

class TranslateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testhooks::ResetLanguage();
        testhooks::ResetCurrentTraceLog();
    }
    void TearDown() override { testhooks::ResetLanguage(); }

    void WriteLng(const std::wstring& name, const std::wstring& text)
    {
        ASSERT_TRUE(WriteUnicodeFile(text, folder_ / name));
    }

    ScratchFolder folder_;
};

const wchar_t* const DefaultLng =
    L"Normset language file\r\n"
    L"#I\r\n"
    L"1 Отмена\r\n"
    L"2 Нет активного документа.\r\n"
    L"3 Только в default\r\n";

const wchar_t* const EnglishLng =
    L"Normset language file\r\n"
    L"#I\r\n"
    L"1 Cancel\r\n"
    L"2 No active document.\r\n"
    L"4 Only in english\r\n";

} // namespace

TEST_F(TranslateTest, JoinsTheTwoFilesByIdAndLooksTextsUpExactly)
{
    WriteLng(L"default.lng", DefaultLng);
    WriteLng(L"english.lng", EnglishLng);
    LoadLanguage(folder_.Path(), L"english");
    EXPECT_TRUE(testhooks::HasLanguageDictionary());
    EXPECT_FALSE(IsRussianLanguage());
    EXPECT_EQ(Translate(L"Отмена"), L"Cancel");
    EXPECT_EQ(Translate(L"Нет активного документа."), L"No active document.");
    // Ids present in one file only contribute nothing.
    EXPECT_EQ(Translate(L"Только в default"), L"Только в default");
    EXPECT_EQ(Translate(L"Only in english"), L"Only in english");
    // Exact lookup: case and spaces matter.
    EXPECT_EQ(Translate(L"отмена"), L"отмена");
    EXPECT_EQ(Translate(L"Отмена "), L"Отмена ");
    EXPECT_EQ(Translate(L"Нет  активного документа."), L"Нет  активного документа.");
}

TEST_F(TranslateTest, WithOnlyTheDefaultFileTextsStayUntranslatedButTheFlagFollowsTheName)
{
    WriteLng(L"default.lng", DefaultLng);
    LoadLanguage(folder_.Path(), L"english");
    EXPECT_FALSE(testhooks::HasLanguageDictionary());
    EXPECT_FALSE(IsRussianLanguage());
    EXPECT_EQ(Translate(L"Отмена"), L"Отмена");
    LoadLanguage(folder_.Path(), L"Russian");
    EXPECT_TRUE(IsRussianLanguage());
    EXPECT_EQ(Translate(L"Отмена"), L"Отмена");
}

TEST_F(TranslateTest, RussianInAnyCaseSetsTheFlagAndItsFileIsStillJoined)
{
    WriteLng(L"default.lng", DefaultLng);
    WriteLng(L"RUSSIAN.lng", L"header\r\n#I\r\n1 Отменить\r\n");
    LoadLanguage(folder_.Path(), L"RUSSIAN");
    EXPECT_TRUE(IsRussianLanguage());
    EXPECT_EQ(Translate(L"Отмена"), L"Отменить");
}

TEST_F(TranslateTest, EmptyNameChangesNothingAndALoadedDictionaryIsKept)
{
    WriteLng(L"default.lng", DefaultLng);
    WriteLng(L"english.lng", EnglishLng);
    WriteLng(L"german.lng", L"header\r\n#I\r\n1 Abbrechen\r\n");
    LoadLanguage(folder_.Path(), L"");
    EXPECT_FALSE(testhooks::HasLanguageDictionary());
    LoadLanguage(folder_.Path(), L"english");
    LoadLanguage(folder_.Path(), L"german");
    EXPECT_EQ(Translate(L"Отмена"), L"Cancel");
    FreeLanguage();
    EXPECT_FALSE(testhooks::HasLanguageDictionary());
    EXPECT_EQ(Translate(L"Отмена"), L"Отмена");
}

TEST_F(TranslateTest, OnlyEntriesInsideHashISectionsAfterTheFirstLineAreRead)
{
    std::map<int, std::wstring> table;
    WriteLng(L"sections.lng",
             L"1 first line is never read\r\n"
             L"2 before any section\r\n"
             L"#I\r\n"
             L"3 read\r\n"
             L"\r\n"
             L"nospace\r\n"
             L"4 text with  several spaces # and a hash\r\n"
             L"#X\r\n"
             L"5 closed section\r\n"
             L"#I \r\n"
             L"6 marker with a trailing space closes too\r\n"
             L"#I\r\n"
             L"7 reopened\r\n"
             L"3 replaced\r\n");
    ReadLngFile(folder_ / L"sections.lng", table, L"#I");
    EXPECT_EQ(table, (std::map<int, std::wstring>{
                         {3, L"replaced"}, {4, L"text with  several spaces # and a hash"}, {7, L"reopened"}}));
}

TEST_F(TranslateTest, BellWithTwoDigitsStandsForThatCharacterOtherwiseStaysAsItIs)
{
    std::map<int, std::wstring> table;
    WriteLng(L"escapes.lng",
             L"header\r\n#I\r\n"
             L"1 line\a10break\r\n"
             L"2 cr\a13lf\a10tab\a09end\r\n"
             L"3 short\a1x\r\n"
             L"4 at end\a\r\n"
             L"5 one digit at end\a7\r\n"
             L"6 a break at end\a10\r\n");
    ReadLngFile(folder_ / L"escapes.lng", table, L"#I");
    EXPECT_EQ(table[1], L"line\nbreak");
    EXPECT_EQ(table[2], L"cr\rlf\ntab\tend");
    EXPECT_EQ(table[3], L"short\a1x");
    EXPECT_EQ(table[4], L"at end\a");
    EXPECT_EQ(table[5], L"one digit at end\a7");
    EXPECT_EQ(table[6], L"a break at end\n");
}

TEST_F(TranslateTest, LineWithABadIdIsSkippedAndTracedAndTheRestIsLoaded)
{
    TraceLog log(L"LOG", false);
    WriteLng(L"default.lng", L"header\r\n#I\r\n1 Отмена\r\nx2 Да\r\n3 Нет\r\n");
    WriteLng(L"english.lng", L"header\r\n#I\r\n1 Cancel\r\n99999999999 Yes\r\n3 No\r\n");
    LoadLanguage(folder_.Path(), L"english");
    EXPECT_EQ(Translate(L"Отмена"), L"Cancel");
    EXPECT_EQ(Translate(L"Нет"), L"No");
    EXPECT_EQ(Translate(L"Да"), L"Да");
    EXPECT_NE(log.Text().find(L"ReadLngFile: bad entry id in \"" + (folder_ / L"default.lng") + L"\", line 4"),
              std::wstring::npos)
        << log.Text();
    EXPECT_NE(log.Text().find(L"ReadLngFile: bad entry id in \"" + (folder_ / L"english.lng") + L"\", line 4"),
              std::wstring::npos)
        << log.Text();
}

TEST_F(TranslateTest, FileThatCannotBeReadLeavesTextsUntranslatedWithoutThrowingAndIsTriedAgain)
{
    TraceLog log(L"LOG", false);
    WriteLng(L"default.lng", DefaultLng);
    WriteLng(L"english.lng", EnglishLng);
    const std::wstring locked = folder_ / L"english.lng";
    HANDLE lock = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_NO_THROW(LoadLanguage(folder_.Path(), L"english"));
    CloseHandle(lock);
    EXPECT_FALSE(testhooks::HasLanguageDictionary());
    EXPECT_EQ(Translate(L"Отмена"), L"Отмена");
    EXPECT_NE(log.Text().find(L"LoadLanguage: File not found: " + locked), std::wstring::npos) << log.Text();

    LoadLanguage(folder_.Path(), L"english");
    EXPECT_EQ(Translate(L"Отмена"), L"Cancel");
}

TEST_F(TranslateTest, ALoneLineFeedStaysInsideItsEntryAndTheHigherIdOfASharedTextWins)
{
    WriteLng(L"default.lng", L"header\r\n#I\r\n1 Да\r\n2 Две\nстроки\r\n5 Да\r\n");
    WriteLng(L"english.lng", L"header\r\n#I\r\n5 Yes (5)\r\n1 Yes (1)\r\n2 Two\nlines\r\n");
    LoadLanguage(folder_.Path(), L"english");
    EXPECT_EQ(Translate(L"Да"), L"Yes (5)");
    EXPECT_EQ(Translate(L"Две\nстроки"), L"Two\nlines");
}
