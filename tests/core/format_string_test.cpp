#include "core/format_string.h"
#include "core/number_text.h"
#include "data_convert_expect.h"

#include <gtest/gtest.h>

TEST(FormatString, PlainIntegersOfEveryWidthRenderAsDecimal)
{
    // The type codes that decide the rendering, as the platform's variant makes them.
    EXPECT_EQ(_variant_t(42).vt, VT_INT);
    EXPECT_EQ(_variant_t(42u).vt, VT_UINT);
    EXPECT_EQ(_variant_t(42L).vt, VT_I4);
    EXPECT_EQ(_variant_t(int64_t(42)).vt, VT_I8);

    EXPECT_EQ(FormatString(L"%d", 42), L"42");
    EXPECT_EQ(FormatString(L"%d", -7), L"-7");
    EXPECT_EQ(FormatString(L"%d", 4000000000u), L"4000000000");
    EXPECT_EQ(FormatString(L"%d %d %d", short(-3), 70000L, 5000000000LL), L"-3 70000 5000000000");
    EXPECT_EQ(FormatString(L"%d %d %d", char(-1), BYTE(200), static_cast<unsigned short>(65535)), L"-1 200 65535");
    EXPECT_EQ(FormatString(L"%d", 18446744073709551615ULL), L"18446744073709551615");
    EXPECT_EQ(FormatString(L"%d.%d.%d.%d", 15, 0, 1, 4711), L"15.0.1.4711");
}

TEST(FormatString, HexIsPaddedToTheWidthOfTheArgumentType)
{
    EXPECT_EQ(FormatString(L"%s=%x", L"name", int64_t(255)), L"name=0x00000000000000ff");
    EXPECT_EQ(FormatString(L"%x", 255), L"0x000000ff");
    EXPECT_EQ(FormatString(L"%x", static_cast<long>(E_FAIL)), L"0x80004005");
    EXPECT_EQ(FormatString(L"%x", short(10)), L"0x000a");
    EXPECT_EQ(FormatString(L"%x", BYTE(10)), L"0x0a");
    EXPECT_EQ(FormatString(L"[%x]", 1.5), L"[]");
}

TEST(FormatString, PercentSignsAndTrailingPercent)
{
    EXPECT_EQ(FormatString(L"100%%"), L"100%");
    EXPECT_EQ(FormatString(L"%%d%d", 5), L"%d5");
    EXPECT_EQ(FormatString(L"50%"), L"50%");
    EXPECT_EQ(FormatString(L"%d%", 5), L"5%");
    EXPECT_EQ(FormatString(L""), L"");
    EXPECT_EQ(FormatString(L"no specifications"), L"no specifications");
}

TEST(FormatString, WidthPadsOnTheLeftAndNeverCuts)
{
    EXPECT_EQ(FormatString(L"%5d", 42), L"   42");
    EXPECT_EQ(FormatString(L"%2d", 12345), L"12345");
    EXPECT_EQ(FormatString(L"%6s|", L"ab"), L"    ab|");
    // An unsupported type, an unknown letter or a missing argument renders empty, padded to the width.
    EXPECT_EQ(FormatString(L"[%d]", 2.5), L"[]");
    EXPECT_EQ(FormatString(L"[%4d]", 2.5), L"[    ]");
    EXPECT_EQ(FormatString(L"[%3q]", 1), L"[   ]");
    EXPECT_EQ(FormatString(L"[%d][%s][%5.2f]", 1), L"[1][][     ]");
    EXPECT_EQ(FormatString(L"[%3"), L"[   ");
}

TEST(FormatString, TheSixthAndLaterSpecificationsRenderNothing)
{
    EXPECT_EQ(FormatString(L"%d%d%d%d%d<%d>|%5s|end", 1, 2, 3, 4, 5), L"12345<>||end");
}

TEST(FormatString, AWidthBeyond32BitsThrowsDataConvertError)
{
    ExpectDataConvertError(CaughtDataConvertError([] { FormatString(L"%99999999999d", 1); }), 0, L"StrToInt32",
                           L"99999999999");
}

TEST(FormatString, DoublesUseTheUsersDecimalSeparatorAndThePrintFormat)
{
    {
        ScopedUserDecimalSeparator comma(L',');
        EXPECT_EQ(FormatString(L"%.2f", 1.5), L"1,50");
        EXPECT_EQ(FormatString(L"%g", 0.25), L"0,25");
        EXPECT_EQ(FormatString(L"%8.3f|", -2.0), L"  -2,000|");
        // Integers and texts convert to a double the automation way.
        EXPECT_EQ(FormatString(L"%.1f", 3), L"3,0");
    }
    {
        ScopedUserDecimalSeparator point(L'.');
        ScopedNumericLocale russian("Russian");
        EXPECT_EQ(FormatString(L"%.2f", 1.5), L"1.50");
        EXPECT_EQ(FormatString(L"%g", 1e-7), L"1e-07");
        EXPECT_EQ(FormatString(L"%f", 1e300).size(), 308u);
    }
    // A letter "e" is not one of the formatter's.
    EXPECT_EQ(FormatString(L"[%e]", 1.5), L"[]");
}

TEST(FormatString, AValueThatIsNoNumberRaisesComErrorForDoubles)
{
    EXPECT_THROW(FormatString(L"%f", L"abc"), _com_error);
    _variant_t null;
    V_VT(&null) = VT_NULL;
    EXPECT_THROW(FormatString(L"%g", null), _com_error);
}

TEST(FormatString, TextsAndOtherVariantsRenderAsText)
{
    EXPECT_EQ(FormatString(L"No variable with name \"%s\"", L"D1"), L"No variable with name \"D1\"");
    EXPECT_EQ(FormatString(L"%s/%s", 5, L""), L"5/");
    _variant_t null;
    V_VT(&null) = VT_NULL;
    EXPECT_EQ(FormatString(L"<%s>", null), L"<>");
}

TEST(FormatString, UserDecimalSeparatorOverrideIsScoped)
{
    const wchar_t real = UserDecimalSeparator();
    {
        ScopedUserDecimalSeparator comma(L',');
        EXPECT_EQ(UserDecimalSeparator(), L',');
        {
            ScopedUserDecimalSeparator point(L'.');
            EXPECT_EQ(UserDecimalSeparator(), L'.');
        }
        EXPECT_EQ(UserDecimalSeparator(), L',');
    }
    EXPECT_EQ(UserDecimalSeparator(), real);
}
