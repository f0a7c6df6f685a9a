#include "core/variables.h"
#include "data_convert_expect.h"

#include <gtest/gtest.h>

namespace {

Variables Sample()
{
    Variables variables;
    variables[L"D"] = L"12,5";
    variables[L"N"] = L"7";
    variables[L"Null"] = L"NULL_VALUE";
    variables[L"Empty"] = L"";
    variables[L"Blank"] = L"   ";
    variables[L"Zero"] = L"0";
    return variables;
}

template <typename Call>
std::wstring ThrownText(Call call)
{
    try {
        call();
    } catch (const std::wstring& text) {
        return text;
    }
    ADD_FAILURE() << "no wide string was thrown";
    return std::wstring();
}

} // namespace

TEST(Variables, HasValueIsFalseForNullAndBlankValues)
{
    const Variables variables = Sample();
    EXPECT_FALSE(variables.HasValue(L"Null"));
    EXPECT_FALSE(variables.HasValue(L"Empty"));
    EXPECT_FALSE(variables.HasValue(L"Blank"));
    EXPECT_FALSE(variables.HasValue(L"Missing"));
    EXPECT_TRUE(variables.HasValue(L"Zero"));
    EXPECT_TRUE(Variables::IsNullValue(L"NULL_VALUE"));
    EXPECT_FALSE(Variables::IsNullValue(L"null_value"));
    EXPECT_FALSE(Variables::IsNullValue(L"\t"));
}

TEST(Variables, AnAbsentOrCaseDifferentNameThrowsTheWideString)
{
    const Variables variables = Sample();
    EXPECT_EQ(variables.GetString(L"N"), L"7");
    EXPECT_EQ(ThrownText([&] { variables.GetString(L"n"); }), L"No variable with name \"n\"");
    EXPECT_EQ(ThrownText([&] { variables.GetDouble(L"d"); }), L"No variable with name \"d\"");
    EXPECT_EQ(ThrownText([&] { variables.GetInt(L"Missing"); }), L"No variable with name \"Missing\"");
}

TEST(Variables, TypedGettersConvertAndPassOnConversionErrors)
{
    Variables variables = Sample();
    EXPECT_EQ(variables.GetDouble(L"D"), 12.5);
    EXPECT_EQ(variables.GetInt(L"N"), 7);
    variables[L"N"] = L"12.5";  // a later value replaces the earlier one
    ExpectDataConvertError(CaughtDataConvertError([&] { variables.GetInt(L"N"); }), 2, L"StrToInt64", L"12.5");
    ExpectDataConvertError(CaughtDataConvertError([&] { variables.GetDouble(L"Null"); }), 2, L"StrToDouble",
                           L"NULL_VALUE");
}

TEST(Variables, NamesAreOrderedByExactCodeUnits)
{
    Variables variables;
    variables[L"b"] = L"1";
    variables[L"B"] = L"2";
    variables[L"a"] = L"3";
    std::wstring order;
    for (const auto& [name, value] : variables)
        order += name;
    EXPECT_EQ(order, L"Bab");
}
