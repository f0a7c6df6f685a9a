// Scripts in the real VBScript engine with a test object as a named item.
#include "core/vbscript_host.h"

#include "core/vbscript_site.h"
#include "test_dispatch.h"

#include <gtest/gtest.h>

#include <regex>

using testsupport::TestDispatch;

namespace {

class VBScriptHostTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

// Runs the script and returns the VBScriptError text; fails the test when none is thrown.
std::wstring ErrorOf(const wchar_t* script, TestDispatch* app = nullptr)
{
    try {
        VBScriptHost host;
        if (app)
            host.AddNamedItem(L"App", app);
        host.Run(script);
    } catch (const VBScriptError& error) {
        return error.Text();
    }
    ADD_FAILURE() << "no VBScriptError";
    return {};
}

// "<source>.\r\n<description>\r\nAt line <n>, pos <n>": the engine's wording differs between systems,
// the frame does not.
const std::wregex ErrorFrame(L"[^\\r\\n]*\\.\\r\\n[^\\r\\n]*\\r\\nAt line (\\d+), pos (-?\\d+)");

std::wstring LineOf(const std::wstring& text)
{
    std::wsmatch match;
    return std::regex_match(text, match, ErrorFrame) ? match[1].str() : L"(no frame)";
}

// Stands between the engine and a VBScriptSite and notes what GetItemInfo answered.
class WatchingSite : public IActiveScriptSite {
public:
    explicit WatchingSite(VBScriptSite& site) : site_(site) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == __uuidof(IActiveScriptSite)) {
            *object = static_cast<IActiveScriptSite*>(this);
            return S_OK;
        }
        return site_.QueryInterface(iid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetLCID(LCID* lcid) override { return site_.GetLCID(lcid); }
    STDMETHODIMP GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** typeInfo) override
    {
        const HRESULT result = site_.GetItemInfo(name, mask, item, typeInfo);
        answers.emplace_back(name, result);
        return result;
    }
    STDMETHODIMP GetDocVersionString(BSTR* version) override { return site_.GetDocVersionString(version); }
    STDMETHODIMP OnScriptTerminate(const VARIANT* result, const EXCEPINFO* info) override
    {
        return site_.OnScriptTerminate(result, info);
    }
    STDMETHODIMP OnStateChange(SCRIPTSTATE state) override { return site_.OnStateChange(state); }
    STDMETHODIMP OnScriptError(IActiveScriptError* error) override { return site_.OnScriptError(error); }
    STDMETHODIMP OnEnterScript() override { return site_.OnEnterScript(); }
    STDMETHODIMP OnLeaveScript() override { return site_.OnLeaveScript(); }

    std::vector<std::pair<std::wstring, HRESULT>> answers;

private:
    VBScriptSite& site_;
};

} // namespace

TEST_F(VBScriptHostTest, AScriptCallsTheNamedItemAndReadsAndWritesItsProperty)
{
    TestDispatch app;
    app.value = 20L;
    {
        VBScriptHost host;
        host.AddNamedItem(L"App", &app);
        host.Run(L"App.Record \"Болт\", 12\r\n"
                 L"App.Value = App.Value + 22\r\n"
                 L"If App.Value = 42 Then App.Record \"done\"\r\n");
    }
    ASSERT_EQ(app.calls.size(), 2u);
    EXPECT_EQ(app.calls[0], (std::vector<std::wstring>{L"Болт", L"12"}));
    EXPECT_EQ(app.calls[1], (std::vector<std::wstring>{L"done"}));
    EXPECT_EQ(static_cast<long>(app.value), 42);
    // The engine let go of the item with the host.
    EXPECT_EQ(app.References(), 1);
}

TEST_F(VBScriptHostTest, ASyntaxErrorThrowsTheEnginesTextWithItsLineAndPosition)
{
    TestDispatch app;
    const std::wstring text = ErrorOf(L"App.Record 1\r\nx = (1 +\r\n", &app);
    EXPECT_TRUE(std::regex_match(text, ErrorFrame)) << text;
    EXPECT_EQ(LineOf(text), L"1"); // zero-based: the second line
    EXPECT_TRUE(app.calls.empty()); // nothing ran
}

TEST_F(VBScriptHostTest, ARunTimeErrorWhileStartingThrowsAlthoughTheEngineStarted)
{
    TestDispatch app;
    const std::wstring text = ErrorOf(L"App.Record 1\r\nDim a\r\na = 1 / 0\r\nApp.Record 2\r\n", &app);
    EXPECT_TRUE(std::regex_match(text, ErrorFrame)) << text;
    EXPECT_EQ(LineOf(text), L"2");
    EXPECT_EQ(app.calls.size(), 1u); // the script stopped at the error
}

TEST_F(VBScriptHostTest, CreatingObjectsFromAScriptIsRefused)
{
    TestDispatch app;
    const std::wstring text =
        ErrorOf(L"Set d = CreateObject(\"Scripting.Dictionary\")\r\nApp.Record \"created\"\r\n", &app);
    EXPECT_TRUE(std::regex_match(text, ErrorFrame)) << text;
    EXPECT_TRUE(app.calls.empty());
}

TEST_F(VBScriptHostTest, AnUnknownNameFailsTheScript)
{
    TestDispatch app;
    const std::wstring text = ErrorOf(L"Missing.Record 1\r\n", &app);
    EXPECT_TRUE(std::regex_match(text, ErrorFrame)) << text;
}

TEST_F(VBScriptHostTest, ANameKnownToTheEngineButNotToTheSiteIsNotFound)
{
    CLSID engineClass = {};
    ASSERT_EQ(CLSIDFromProgID(L"VBScript", &engineClass), S_OK);
    IActiveScriptPtr engine;
    ASSERT_EQ(engine.CreateInstance(engineClass, nullptr, CLSCTX_INPROC_SERVER), S_OK);
    IActiveScriptParse64Ptr parser = engine;
    ASSERT_TRUE(parser);
    VBScriptSite site;
    WatchingSite watching(site);
    ASSERT_EQ(engine->SetScriptSite(&watching), S_OK);
    ASSERT_EQ(parser->InitNew(), S_OK);
    ASSERT_EQ(engine->AddNamedItem(L"Ghost", SCRIPTITEM_ISVISIBLE), S_OK);
    EXCEPINFO info = {};
    parser->ParseScriptText(L"Ghost.Record 1\r\n", nullptr, nullptr, nullptr, 0, 0, 0, nullptr, &info);
    engine->SetScriptState(SCRIPTSTATE_CONNECTED);
    engine->Close();
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);

    bool asked = false;
    for (const auto& [name, result] : watching.answers) {
        if (name == L"Ghost") {
            asked = true;
            EXPECT_EQ(result, TYPE_E_ELEMENTNOTFOUND);
        }
    }
    EXPECT_TRUE(asked);
    EXPECT_FALSE(site.ErrorText().empty());
}

TEST_F(VBScriptHostTest, AHundredRunsCloseEveryEngineAndReleaseEveryItem)
{
    TestDispatch app;
    for (int run = 0; run < 100; ++run) {
        VBScriptHost host;
        host.AddNamedItem(L"App", &app);
        host.Run(L"App.Record 1");
    }
    EXPECT_EQ(app.calls.size(), 100u);
    EXPECT_EQ(app.References(), 1);
}
