// The script site on its own: interfaces, named items, the security policy and the error text.
#include "core/vbscript_site.h"

#include "test_dispatch.h"

#include <gtest/gtest.h>

#include <cstring>

using testsupport::TestDispatch;

namespace {

// An error as the engine reports it.
class FakeScriptError : public IActiveScriptError {
public:
    FakeScriptError(const wchar_t* source, const wchar_t* description, SCODE code, ULONG line, LONG position,
                    bool hasInfo = true)
        : source_(source), description_(description), code_(code), line_(line), position_(position), hasInfo_(hasInfo)
    {
    }
    STDMETHODIMP QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetExceptionInfo(EXCEPINFO* info) override
    {
        if (!hasInfo_)
            return E_FAIL;
        *info = EXCEPINFO();
        info->bstrSource = source_ ? SysAllocString(source_) : nullptr;
        info->bstrDescription = description_ ? SysAllocString(description_) : nullptr;
        info->scode = code_;
        return S_OK;
    }
    STDMETHODIMP GetSourcePosition(DWORD* context, ULONG* line, LONG* position) override
    {
        *context = 0;
        *line = line_;
        *position = position_;
        return S_OK;
    }
    STDMETHODIMP GetSourceLineText(BSTR* text) override
    {
        *text = nullptr;
        return E_FAIL;
    }

private:
    const wchar_t* source_;
    const wchar_t* description_;
    SCODE code_;
    ULONG line_;
    LONG position_;
    bool hasInfo_;
};

} // namespace

TEST(VBScriptSite, AnswersItsThreeInterfacesAndRefusesIDispatch)
{
    VBScriptSite site;
    void* object = nullptr;
    ASSERT_EQ(site.QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, static_cast<IActiveScriptSite*>(&site));
    ASSERT_EQ(site.QueryInterface(__uuidof(IActiveScriptSite), &object), S_OK);
    EXPECT_EQ(object, static_cast<IActiveScriptSite*>(&site));
    ASSERT_EQ(site.QueryInterface(__uuidof(IServiceProvider), &object), S_OK);
    EXPECT_EQ(object, static_cast<IServiceProvider*>(&site));
    ASSERT_EQ(site.QueryInterface(__uuidof(IInternetHostSecurityManager), &object), S_OK);
    EXPECT_EQ(object, static_cast<IInternetHostSecurityManager*>(&site));

    object = &site;
    EXPECT_EQ(site.QueryInterface(IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    object = &site;
    EXPECT_EQ(site.QueryInterface(IID_IActiveScriptSiteWindow, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(site.QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST(VBScriptSite, ServesRegisteredItemsByExactNameWithAReferenceAndNoTypeInformation)
{
    VBScriptSite site;
    TestDispatch app;
    site.AddItem(L"App", &app);
    EXPECT_EQ(app.References(), 2);

    IUnknown* item = nullptr;
    ITypeInfo* typeInfo = reinterpret_cast<ITypeInfo*>(&site);
    ASSERT_EQ(site.GetItemInfo(L"App", SCRIPTINFO_IUNKNOWN | SCRIPTINFO_ITYPEINFO, &item, &typeInfo), S_OK);
    EXPECT_EQ(item, static_cast<IUnknown*>(&app));
    EXPECT_EQ(typeInfo, nullptr);
    EXPECT_EQ(app.References(), 3);
    item->Release();

    EXPECT_EQ(site.GetItemInfo(L"app", SCRIPTINFO_IUNKNOWN, &item, nullptr), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(item, nullptr);
    EXPECT_EQ(site.GetItemInfo(L"Missing", SCRIPTINFO_IUNKNOWN, &item, nullptr), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(site.GetItemInfo(L"App", SCRIPTINFO_ITYPEINFO, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(app.References(), 2);
}

TEST(VBScriptSite, RefusesEveryUrlActionWritingTheWholePolicy)
{
    VBScriptSite site;
    BYTE policy[4];
    std::memset(policy, 0xCC, sizeof(policy));
    EXPECT_EQ(site.ProcessUrlAction(URLACTION_ACTIVEX_RUN, policy, sizeof(policy), nullptr, 0, 0, 0), S_FALSE);
    DWORD value = 0;
    std::memcpy(&value, policy, sizeof(value));
    EXPECT_EQ(value, static_cast<DWORD>(URLPOLICY_DISALLOW));

    BYTE small[2] = {0xCC, 0xCC};
    EXPECT_EQ(site.ProcessUrlAction(URLACTION_SCRIPT_RUN, small, 1, nullptr, 0, 0, 0), S_FALSE);
    EXPECT_EQ(small[0], URLPOLICY_DISALLOW);
    EXPECT_EQ(small[1], 0xCC);
    EXPECT_EQ(site.ProcessUrlAction(URLACTION_ACTIVEX_RUN, nullptr, 4, nullptr, 0, 0, 0), S_FALSE);
}

TEST(VBScriptSite, ProvidesOnlyTheSecurityManagerService)
{
    VBScriptSite site;
    void* object = nullptr;
    ASSERT_EQ(site.QueryService(__uuidof(IInternetHostSecurityManager), __uuidof(IInternetHostSecurityManager), &object),
              S_OK);
    EXPECT_EQ(object, static_cast<IInternetHostSecurityManager*>(&site));
    object = &site;
    EXPECT_EQ(site.QueryService(IID_IDispatch, IID_IUnknown, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    BYTE* custom = nullptr;
    DWORD size = 0;
    EXPECT_EQ(site.QueryCustomPolicy(GUID_NULL, &custom, &size, nullptr, 0, 0), E_NOTIMPL);
    EXPECT_EQ(site.GetSecurityId(nullptr, &size, 0), E_NOTIMPL);
    BSTR version = nullptr;
    EXPECT_EQ(site.GetDocVersionString(&version), E_NOTIMPL);
    LCID lcid = 0;
    EXPECT_EQ(site.GetLCID(&lcid), S_OK);
    EXPECT_EQ(lcid, GetSystemDefaultLCID());
}

TEST(VBScriptSite, ErrorTextIsSourceDescriptionAndPositionAndALaterErrorReplacesIt)
{
    VBScriptSite site;
    EXPECT_TRUE(site.ErrorText().empty());
    FakeScriptError first(L"Microsoft VBScript runtime error", L"Division by zero", 0x800A000B, 3, 7);
    EXPECT_EQ(site.OnScriptError(&first), S_OK);
    EXPECT_EQ(site.ErrorText(), L"Microsoft VBScript runtime error.\r\nDivision by zero\r\nAt line 3, pos 7");

    FakeScriptError second(L"S", L"D", 0x800A01A8, 0, -1);
    site.OnScriptError(&second);
    EXPECT_EQ(site.ErrorText(), L"S.\r\nD\r\nAt line 0, pos -1");
}

TEST(VBScriptSite, AnErrorWithoutTextsCarriesItsCode)
{
    VBScriptSite site;
    FakeScriptError blank(nullptr, L"", static_cast<SCODE>(0x800A01AD), 2, 0);
    site.OnScriptError(&blank);
    EXPECT_EQ(site.ErrorText(), L".\r\n0x800a01ad\r\nAt line 2, pos 0");
}

TEST(VBScriptSite, AnErrorWithoutExceptionInformationStillTellsThePosition)
{
    VBScriptSite site;
    FakeScriptError noInfo(L"S", L"D", 0, 4, 1, false);
    site.OnScriptError(&noInfo);
    EXPECT_EQ(site.ErrorText(), L"At line 4, pos 1");
}
