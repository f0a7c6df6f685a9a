#include "core/string_utils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <map>
#include <stdexcept>

namespace {

using Pieces = std::vector<std::wstring>;

class ScopedCodePage {
public:
    explicit ScopedCodePage(const char* locale) : previous_(setlocale(LC_CTYPE, nullptr))
    {
        if (!setlocale(LC_CTYPE, locale))
            throw std::runtime_error(locale);
    }
    ~ScopedCodePage() { setlocale(LC_CTYPE, previous_.c_str()); }

private:
    std::string previous_;
};

} // namespace

TEST(StringUtils, TrimRemovesSpacesOnlyAndOnlyAtTheEnds)
{
    EXPECT_EQ(Trim(L"  a b  "), L"a b");
    EXPECT_EQ(TrimLeft(L"  a b  "), L"a b  ");
    EXPECT_EQ(TrimRight(L"  a b  "), L"  a b");
    EXPECT_EQ(Trim(L"\t\t"), L"\t\t");
    EXPECT_EQ(Trim(L" \ta\n "), L"\ta\n");
    EXPECT_EQ(Trim(L"    "), L"");
    EXPECT_EQ(TrimLeft(L"   "), L"");
    EXPECT_EQ(TrimRight(L"   "), L"");
    EXPECT_EQ(Trim(L""), L"");
}

TEST(StringUtils, ReplaceAllResumesAfterTheInsertedText)
{
    EXPECT_EQ(ReplaceAll(L"a.b.c", L".", L"::"), L"a::b::c");
    EXPECT_EQ(ReplaceAll(L"aaa", L"a", L"aa"), L"aaaaaa");
    EXPECT_EQ(ReplaceAll(L"abab", L"ab", L""), L"");
    EXPECT_EQ(ReplaceAll(L"text", L"", L"x"), L"text");
    EXPECT_EQ(ReplaceAll(L"\r\n\n", L"\n", L"\r\n"), L"\r\r\n\r\n");
}

TEST(StringUtils, SplitKeepsEmptyPiecesAndTheLastOne)
{
    EXPECT_EQ(Split(L"a;", L";"), (Pieces{L"a", L""}));
    EXPECT_EQ(Split(L"", L";"), Pieces{});
    EXPECT_EQ(Split(L"abc", L""), Pieces{});
    EXPECT_EQ(Split(L"abc", L";"), (Pieces{L"abc"}));
    EXPECT_EQ(Split(L";a;;b", L";"), (Pieces{L"", L"a", L"", L"b"}));
    EXPECT_EQ(Split(L"1<>2<>3", L"<>"), (Pieces{L"1", L"2", L"3"}));
    EXPECT_EQ(SplitAny(L"a,b;c", L",;"), (Pieces{L"a", L"b", L"c"}));
    EXPECT_EQ(SplitAny(L"a,;", L",;"), (Pieces{L"a", L"", L""}));
    EXPECT_EQ(SplitAny(L"", L",;"), Pieces{});
    EXPECT_EQ(SplitAny(L"a", L""), Pieces{});
}

TEST(StringUtils, JoinPutsTheSeparatorBetweenItemsOnly)
{
    EXPECT_EQ(JoinStrings({}, L", "), L"");
    EXPECT_EQ(JoinStrings({L"a"}, L", "), L"a");
    EXPECT_EQ(JoinStrings({L"a", L"", L"c"}, L", "), L"a, , c");
    EXPECT_EQ(JoinStrings(Split(L"x;y;", L";"), L";"), L"x;y;");
}

TEST(StringUtils, ComparisonsExactAndCaseInsensitive)
{
    EXPECT_TRUE(IsSameString(L"Abc", L"Abc"));
    EXPECT_FALSE(IsSameString(L"Abc", L"abc"));
    EXPECT_TRUE(NoCaseLess(L"abc", L"ABD"));
    EXPECT_FALSE(NoCaseLess(L"ABC", L"abc"));
    EXPECT_FALSE(NoCaseLess(L"abc", L"ABC"));
    std::map<std::wstring, int, NoCaseLessOrder> map;
    map[L"Length"] = 1;
    map[L"LENGTH"] = 2;
    EXPECT_EQ(map.size(), 1u);
    EXPECT_EQ(map[L"length"], 2);
}

TEST(StringUtils, NarrowAndWideRoundTripThroughTheCodePage)
{
    EXPECT_EQ(ToWide(""), L"");
    EXPECT_EQ(ToNarrow(L""), "");
    EXPECT_EQ(ToWide("debug.txt"), L"debug.txt");
    EXPECT_EQ(ToNarrow(L"C:\\temp\\debug.zip"), "C:\\temp\\debug.zip");

    ScopedCodePage russian("Russian");
    const std::string narrow = ToNarrow(L"Болт М10");
    EXPECT_EQ(narrow, "\xC1\xEE\xEB\xF2 \xCC" "10");
    EXPECT_EQ(ToWide(narrow), L"Болт М10");
}

TEST(StringUtils, TextTheCodePageCannotCarryFailsInsteadOfComingBackShort)
{
    ScopedCodePage russian("Russian");
    // Greek and CJK characters have no place in code page 1251.
    EXPECT_THROW(ToNarrow(L"abc\x03A9"), std::range_error);
    EXPECT_THROW(ToNarrow(L"\x4E2D"), std::range_error);
}

TEST(StringUtils, NarrowTextThatIsNoValidMultibyteTextFailsInsteadOfComingBackShort)
{
    ScopedCodePage japanese("Japanese");
    // A lead byte of code page 932 with no trail byte after it.
    EXPECT_THROW(ToWide("abc\x82"), std::range_error);
    EXPECT_THROW(ToWide("\x82"), std::range_error);
    EXPECT_EQ(ToWide("\x82\xa0"), L"\x3042");
    EXPECT_EQ(ToWide("abc"), L"abc");
}
