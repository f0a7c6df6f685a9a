#include "core/number_text.h"
#include "data_convert_expect.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cstring>

namespace {

// Runs `check` under the runtime's default "C" numeric locale and under the Russian one (decimal ",").
template <typename Check>
void InBothNumericLocales(Check check)
{
    {
        ScopedNumericLocale c("C");
        SCOPED_TRACE("numeric locale C");
        check();
    }
    {
        ScopedNumericLocale russian("Russian");
        ASSERT_STREQ(localeconv()->decimal_point, ",");
        SCOPED_TRACE("numeric locale Russian");
        check();
    }
}

} // namespace

TEST(DataConvertError, MessageNamesFunctionValueAndReason)
{
    EXPECT_EQ(DataConvertError(0, L"StrToInt32", L"99999999999").Message(), L"StrToInt32(99999999999) overflow.");
    EXPECT_EQ(DataConvertError(1, L"StrToDouble", L"1e-999").Message(), L"StrToDouble(1e-999) underflow.");
    EXPECT_EQ(DataConvertError(2, L"StrToBool", L"1").Message(), L"StrToBool(1) invalid argument.");
    EXPECT_EQ(DataConvertError(3, L"StrToBool", L"1").Message(), L"");
    const DataConvertError original(2, L"StrToInt64", L"12a");
    const DataConvertError copy = original;
    ExpectDataConvertError(copy, 2, L"StrToInt64", L"12a");
}

TEST(NumberText, DoubleReadsEitherSeparatorInEitherNumericLocale)
{
    InBothNumericLocales([] {
        EXPECT_EQ(StrToDouble(L"2,5"), 2.5);
        EXPECT_EQ(StrToDouble(L"2.5"), 2.5);
        EXPECT_EQ(StrToDouble(L"-1e3"), -1000.0);
        EXPECT_TRUE(IsDouble(L"0,125"));
        ExpectDataConvertError(CaughtDataConvertError([] { StrToDouble(L"1.000,5"); }), 2, L"StrToDouble", L"1.000,5");
        EXPECT_FALSE(IsDouble(L"1.000,5"));
    });
}

TEST(NumberText, DoubleRefusesEmptyTextLeftoversAndNonFiniteValues)
{
    const std::wstring texts[] = {L"", L"2.5 ", L"2.5mm", L"abc", L"inf", L"-INF", L"nan", std::wstring(L"1\0" L"2", 3)};
    for (const auto& text : texts) {
        SCOPED_TRACE(testing::Message() << "text of length " << text.size());
        ExpectDataConvertError(CaughtDataConvertError([&] { StrToDouble(text); }), 2, L"StrToDouble", text);
        EXPECT_FALSE(IsDouble(text));
    }
}

TEST(NumberText, DoubleRangeErrorsSayOverflowOrUnderflow)
{
    ExpectDataConvertError(CaughtDataConvertError([] { StrToDouble(L"1e999"); }), 0, L"StrToDouble", L"1e999");
    ExpectDataConvertError(CaughtDataConvertError([] { StrToDouble(L"-1e999"); }), 0, L"StrToDouble", L"-1e999");
    ExpectDataConvertError(CaughtDataConvertError([] { StrToDouble(L"1e-999"); }), 1, L"StrToDouble", L"1e-999");
    // A subnormal result comes back with a range error: it is an underflow, not an overflow.
    ExpectDataConvertError(CaughtDataConvertError([] { StrToDouble(L"1e-310"); }), 1, L"StrToDouble", L"1e-310");
    EXPECT_FALSE(IsDouble(L"1e999"));
    EXPECT_FALSE(IsDouble(L"1e-310"));
    EXPECT_EQ(StrToDouble(L"2.2250738585072014e-308"), DBL_MIN);
    EXPECT_EQ(StrToDouble(L"1.7976931348623157e308"), DBL_MAX);
}

TEST(NumberText, BoolAcceptsTrueAndFalseInAnyCase)
{
    EXPECT_TRUE(StrToBool(L"true"));
    EXPECT_TRUE(StrToBool(L"TrUe"));
    EXPECT_FALSE(StrToBool(L"FALSE"));
    for (const wchar_t* text : {L"1", L"", L"yes", L" true", L"true "})
        ExpectDataConvertError(CaughtDataConvertError([&] { StrToBool(text); }), 2, L"StrToBool", text);
}

TEST(NumberText, Int64ReadsDecimalAndReportsRangeBySide)
{
    EXPECT_EQ(StrToInt64(L"-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64(L"9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64(L"  +42"), 42);
    EXPECT_EQ(StrToInt64(L"010"), 10);
    ExpectDataConvertError(CaughtDataConvertError([] { StrToInt64(L"-9223372036854775809"); }), 1, L"StrToInt64", L"-9223372036854775809");
    ExpectDataConvertError(CaughtDataConvertError([] { StrToInt64(L"9223372036854775808"); }), 0, L"StrToInt64", L"9223372036854775808");
    for (const wchar_t* text : {L"", L"12a", L"0x10", L"1.5", L"-", L"42 "})
        ExpectDataConvertError(CaughtDataConvertError([&] { StrToInt64(text); }), 2, L"StrToInt64", text);
    EXPECT_TRUE(IsInt64(L"-17"));
    EXPECT_FALSE(IsInt64(L""));
    EXPECT_FALSE(IsInt64(L"12a"));
    EXPECT_FALSE(IsInt64(L"9223372036854775808"));
}

TEST(NumberText, Int32AndUInt32CheckTheirRangeAfterReadingAs64Bit)
{
    EXPECT_EQ(StrToInt32(L"-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt32(L"2147483647"), INT32_MAX);
    ExpectDataConvertError(CaughtDataConvertError([] { StrToInt32(L"2147483648"); }), 0, L"StrToInt32", L"2147483648");
    ExpectDataConvertError(CaughtDataConvertError([] { StrToInt32(L"-2147483649"); }), 1, L"StrToInt32", L"-2147483649");
    ExpectDataConvertError(CaughtDataConvertError([] { StrToInt32(L"12a"); }), 2, L"StrToInt64", L"12a");
    ExpectDataConvertError(CaughtDataConvertError([] { StrToInt32(L"99999999999999999999"); }), 0, L"StrToInt64", L"99999999999999999999");

    EXPECT_EQ(StrToUInt32(L"4294967295"), UINT32_MAX);
    EXPECT_EQ(StrToUInt32(L"0"), 0u);
    ExpectDataConvertError(CaughtDataConvertError([] { StrToUInt32(L"-1"); }), 1, L"StrToUInt32", L"-1");
    ExpectDataConvertError(CaughtDataConvertError([] { StrToUInt32(L"4294967296"); }), 0, L"StrToUInt32", L"4294967296");
    ExpectDataConvertError(CaughtDataConvertError([] { StrToUInt32(L"x"); }), 2, L"StrToInt64", L"x");
}

TEST(NumberText, IntToStrWritesEveryIntegerTypeWithoutPadding)
{
    EXPECT_EQ(IntToStr(int8_t(-128)), L"-128");
    EXPECT_EQ(IntToStr(uint8_t(255)), L"255");
    EXPECT_EQ(IntToStr(int16_t(-32768)), L"-32768");
    EXPECT_EQ(IntToStr(uint16_t(65535)), L"65535");
    EXPECT_EQ(IntToStr(int32_t(0)), L"0");
    EXPECT_EQ(IntToStr(uint32_t(4294967295u)), L"4294967295");
    EXPECT_EQ(IntToStr(INT64_MIN), L"-9223372036854775808");
    EXPECT_EQ(IntToStr(UINT64_MAX), L"18446744073709551615");
}

TEST(NumberText, HexFamilyPadsToTheFullWidthOfTheType)
{
    EXPECT_EQ(IntToHex(uint8_t(10)), L"0x0a");
    EXPECT_EQ(IntToHex(int16_t(10)), L"0x000a");
    EXPECT_EQ(IntToHex(uint32_t(0xABCDEF)), L"0x00abcdef");
    EXPECT_EQ(IntToHex(uint64_t(255)), L"0x00000000000000ff");
    EXPECT_EQ(IntToHex(int8_t(-1)), L"0xff");
    EXPECT_EQ(IntToHex(int32_t(-2147467259)), L"0x80004005");
}

TEST(NumberText, FormatDoubleUsesTheWantedSeparatorWhateverTheNumericLocale)
{
    InBothNumericLocales([] {
        EXPECT_EQ(DoubleToStr(0.1, L','), L"0,1");
        EXPECT_EQ(DoubleToStr(0.1, L'.'), L"0.1");
        EXPECT_EQ(DoubleToStr(-2.5, L'.'), L"-2.5");
        EXPECT_EQ(FormatDouble(1.5, L',', L"%.2f"), L"1,50");
        EXPECT_EQ(FormatDouble(1.5, L'.', L"%6.2f"), L"  1.50");
        EXPECT_EQ(DoubleToStr(1.0 / 3, L'.'), L"0.333333333333333");
    });
}

TEST(NumberText, FormatDoublePrintsTwoExponentDigits)
{
    EXPECT_EQ(DoubleToStr(1e-7, L'.'), L"1e-07");
    EXPECT_EQ(FormatDouble(1e-7, L'.', L"%g"), L"1e-07");
    EXPECT_EQ(FormatDouble(12345.0, L',', L"%e"), L"1,234500e+04");
    EXPECT_EQ(DoubleToStr(1e300, L'.'), L"1e+300");
}

TEST(NumberText, ThreeDigitExponentsOfAnOlderRuntimeAreShortenedAndRepadded)
{
    using number_text_detail::TwoDigitExponent;
    EXPECT_EQ(TwoDigitExponent(L"1e-007", L"%.15g"), L"1e-07");
    EXPECT_EQ(TwoDigitExponent(L"1.5E+010", L"%G"), L"1.5E+10");
    EXPECT_EQ(TwoDigitExponent(L"1e+300", L"%g"), L"1e+300");
    EXPECT_EQ(TwoDigitExponent(L"   1e-007", L"%9g"), L"    1e-07");
    EXPECT_EQ(TwoDigitExponent(L"1e-007", L"%6g"), L" 1e-07");
    EXPECT_EQ(TwoDigitExponent(L"1e-007   ", L"%-9g"), L"1e-07    ");
    EXPECT_EQ(TwoDigitExponent(L"-001e-007", L"%09g"), L"-0001e-07");
    EXPECT_EQ(TwoDigitExponent(L"12.5", L"%12f"), L"12.5");
}

TEST(NumberText, FormatDoubleNeverTruncatesALongNumber)
{
    const std::wstring text = FormatDouble(1e300, L'.', L"%f");
    ASSERT_EQ(text.size(), 301u + 1 + 6);
    EXPECT_EQ(text.substr(0, 2), L"10");
    EXPECT_EQ(text.substr(text.size() - 7), L".000000");
    EXPECT_EQ(FormatDouble(-1e308, L',', L"%.2f").size(), 1u + 309 + 3);
}

TEST(NumberText, ScopedNumericLocaleRestoresThePreviousLocale)
{
    const std::string before = setlocale(LC_NUMERIC, nullptr);
    {
        ScopedNumericLocale russian("Russian");
        EXPECT_STREQ(localeconv()->decimal_point, ",");
    }
    EXPECT_EQ(before, setlocale(LC_NUMERIC, nullptr));
    EXPECT_THROW(ScopedNumericLocale("No such locale at all"), std::runtime_error);
    EXPECT_EQ(before, setlocale(LC_NUMERIC, nullptr));
}
