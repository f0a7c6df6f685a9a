#include "core/com.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// {5C1E3A0B-7F52-4E0C-9A51-3B8C2D4E6F70}: an interface the object below answers errors for.
const IID IID_Reporting = {0x5c1e3a0b, 0x7f52, 0x4e0c, {0x9a, 0x51, 0x3b, 0x8c, 0x2d, 0x4e, 0x6f, 0x70}};
// {5C1E3A0B-7F52-4E0C-9A51-3B8C2D4E6F71}: one it does not.
const IID IID_Silent = {0x5c1e3a0b, 0x7f52, 0x4e0c, {0x9a, 0x51, 0x3b, 0x8c, 0x2d, 0x4e, 0x6f, 0x71}};

// An automation server object that leaves error information for IID_Reporting only.
class ErrorReporter : public ISupportErrorInfo {
public:
    ULONG refs = 1;
    int asked = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_ISupportErrorInfo) {
            *out = static_cast<ISupportErrorInfo*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override
    {
        ++asked;
        return iid == IID_Reporting ? S_OK : S_FALSE;
    }
};

// An object without ISupportErrorInfo.
class PlainObject : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

// Leaves error information with a description on the thread, as a failing server does.
void LeaveErrorInfo(const wchar_t* description)
{
    ICreateErrorInfoPtr create;
    ASSERT_EQ(CreateErrorInfo(&create), S_OK);
    create->SetDescription(const_cast<LPOLESTR>(description));
    IErrorInfoPtr info = create;
    ASSERT_EQ(SetErrorInfo(0, info), S_OK);
}

_com_error Issued(HRESULT hr, IUnknown* object, REFIID iid)
{
    try {
        _com_issue_errorex(hr, object, iid);
    } catch (const _com_error& error) {
        return error;
    }
    ADD_FAILURE() << "no _com_error was thrown";
    return _com_error(S_OK);
}

std::wstring Description(const _com_error& error)
{
    const _bstr_t text = error.Description();
    return text.length() ? std::wstring(static_cast<const wchar_t*>(text)) : std::wstring();
}

} // namespace

TEST(ComSupport, IssuedErrorCarriesTheServersDescriptionWhenItSupportsErrorInfoForTheInterface)
{
    ErrorReporter server;
    LeaveErrorInfo(L"Нет связи со справочником");
    const _com_error error = Issued(E_FAIL, &server, IID_Reporting);
    EXPECT_EQ(error.Error(), E_FAIL);
    EXPECT_EQ(Description(error), L"Нет связи со справочником");
    EXPECT_EQ(server.asked, 1);
    EXPECT_EQ(server.refs, 1u);
}

TEST(ComSupport, IssuedErrorTakesNoErrorInfoForAnotherInterfaceOrAnObjectWithoutSupport)
{
    ErrorReporter server;
    LeaveErrorInfo(L"stale");
    const _com_error other = Issued(E_INVALIDARG, &server, IID_Silent);
    EXPECT_EQ(other.Error(), E_INVALIDARG);
    EXPECT_EQ(Description(other), L"");
    EXPECT_EQ(server.refs, 1u);

    PlainObject plain;
    EXPECT_EQ(Description(Issued(E_FAIL, &plain, IID_Reporting)), L"");
    EXPECT_EQ(Description(Issued(E_FAIL, nullptr, IID_Reporting)), L"");
    SetErrorInfo(0, nullptr);
}

TEST(ComSupport, NarrowConversionsOfBstrAndVariantRoundTrip)
{
    EXPECT_EQ(_com_util::ConvertStringToBSTR(nullptr), nullptr);
    EXPECT_EQ(_com_util::ConvertBSTRToString(nullptr), nullptr);
    const _bstr_t empty("");
    EXPECT_EQ(empty.length(), 0u);
    const _bstr_t text("M10x1.25");
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(text)), L"M10x1.25");
    EXPECT_STREQ(static_cast<const char*>(text), "M10x1.25");
    const _variant_t value("D=10");
    ASSERT_EQ(V_VT(&value), VT_BSTR);
    EXPECT_EQ(std::wstring(V_BSTR(&value)), L"D=10");
}
