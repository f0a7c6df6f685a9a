#include "core/com_convert.h"

#include <gtest/gtest.h>

namespace {

// A COM error with a description, the way a failing automation server leaves one.
_com_error ErrorWithDescription(HRESULT hr, const wchar_t* description)
{
    ICreateErrorInfoPtr create;
    EXPECT_EQ(CreateErrorInfo(&create), S_OK);
    create->SetDescription(const_cast<LPOLESTR>(description));
    IErrorInfoPtr info = create;
    return _com_error(hr, info.Detach());
}

} // namespace

TEST(ComConvert, BstrToWStringOfNothingIsEmpty)
{
    EXPECT_EQ(BstrToWString(_bstr_t()), L"");
    EXPECT_EQ(BstrToWString(_bstr_t(L"")), L"");
    EXPECT_EQ(BstrToWString(_bstr_t(L"Болт")), L"Болт");
}

TEST(ComConvert, VariantToWStringConvertsTheAutomationWay)
{
    EXPECT_EQ(VariantToWString(_variant_t(5L)), L"5");
    EXPECT_EQ(VariantToWString(_variant_t(-12)), L"-12");
    EXPECT_EQ(VariantToWString(_variant_t(L"text")), L"text");
    EXPECT_EQ(VariantToWString(_variant_t()), L"");
    _variant_t null;
    V_VT(&null) = VT_NULL;
    EXPECT_EQ(VariantToWString(null), L"");
    VARIANT nullBstr;
    VariantInit(&nullBstr);
    V_VT(&nullBstr) = VT_BSTR;
    V_BSTR(&nullBstr) = nullptr;
    EXPECT_EQ(VariantToWString(nullBstr), L"");
}

TEST(ComConvert, VariantThatCannotBecomeTextRaisesComError)
{
    SAFEARRAYBOUND bound = {2, 0};
    _variant_t array;
    V_VT(&array) = VT_ARRAY | VT_I4;
    V_ARRAY(&array) = SafeArrayCreate(VT_I4, 1, &bound);
    ASSERT_NE(V_ARRAY(&array), nullptr);
    EXPECT_THROW(VariantToWString(array), _com_error);
}

TEST(ComConvert, ComErrorTextIsCodeThenSystemMessageWithoutLineEnd)
{
    const std::wstring text = ComErrorToWString(_com_error(E_FAIL));
    EXPECT_EQ(text.rfind(L"0x80004005 ", 0), 0u) << text;
    EXPECT_GT(text.size(), 11u);
    EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos) << text;

    // The code has no padding.
    EXPECT_EQ(ComErrorToWString(_com_error(HRESULT(0x1234))).rfind(L"0x1234 ", 0), 0u);
    EXPECT_EQ(ComErrorToWString(_com_error(S_OK)).rfind(L"0x0 ", 0), 0u);
}

TEST(ComConvert, ComErrorTextEndsWithTheDescriptionOnItsOwnLine)
{
    const std::wstring text = ComErrorToWString(ErrorWithDescription(E_INVALIDARG, L"Нет такой детали"));
    EXPECT_EQ(text.rfind(L"0x80070057 ", 0), 0u) << text;
    const size_t lineEnd = text.find(L"\r\n");
    ASSERT_NE(lineEnd, std::wstring::npos);
    EXPECT_EQ(text.substr(lineEnd), L"\r\nНет такой детали");
    EXPECT_EQ(text.find(L'\n'), lineEnd + 1);
}
