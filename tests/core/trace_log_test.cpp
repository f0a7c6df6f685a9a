#include "core/trace_log.h"

#include "core/data_convert_error.h"

#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

// The elapsed time of a scope is whatever the tick counter says: tests compare "# ms".
std::wstring Timeless(const std::wstring& text)
{
    static const std::wregex elapsed(L"\\d+ ms\r\n");
    return std::regex_replace(text, elapsed, L"# ms\r\n");
}

// Raises `code` as a continuable exception and resumes after it: the way a host's own exception or a
// hardware fault reaches the vectored handlers before any frame handles it.
void RaiseAndContinue(DWORD code)
{
    static DWORD expected = 0;
    expected = code;
    PVOID handler = AddVectoredExceptionHandler(0, [](EXCEPTION_POINTERS* info) -> LONG {
        return info->ExceptionRecord->ExceptionCode == expected ? EXCEPTION_CONTINUE_EXECUTION
                                                                : EXCEPTION_CONTINUE_SEARCH;
    });
    RaiseException(code, 0, 0, nullptr);
    RemoveVectoredExceptionHandler(handler);
}

// Operations as the library writes them: each opens its scope and calls the next, the innermost fails.
[[gnu::noinline]] void InnerFails()
{
    TraceScope trace(L"Inner::Run");
    throw std::wstring(L"failed");
}

[[gnu::noinline]] void MiddleCallsInner()
{
    TraceScope trace(L"Middle::Run");
    InnerFails();
    trace.WriteLine(L"not reached");
}

[[gnu::noinline]] void RunChildLogThatFails()
{
    TraceLog child(L"CHILD", false);
    TraceScope trace(L"Outer::Run");
    trace.WriteLine(L"before");
    MiddleCallsInner();
}

class TraceLogTest : public ::testing::Test {
protected:
    void SetUp() override { testhooks::ResetCurrentTraceLog(); }
    void TearDown() override { testhooks::ResetCurrentTraceLog(); }
};

} // namespace

TEST_F(TraceLogTest, RootLogWritesMarkTitleAndIndentedScopesAndBecomesCurrentForItsLifetime)
{
    {
        TraceLog log(L"LIBRARYENTRY", true);
        EXPECT_EQ(TraceLog::Current(), &log);
        {
            TraceScope outer(L"Finder::Find");
            outer.Value(L"count", _variant_t(5L));
            TraceScope inner(L":Finder");
            inner.WriteLine(L"plain");
        }
        log.WriteLine(L"after");
        EXPECT_EQ(Timeless(log.Text()),
                  L"\xFEFF" L"LIBRARYENTRY\r\n"
                  L"{Finder::Find\r\n"
                  L"\tcount=5\r\n"
                  L"\t{:Finder\r\n"
                  L"\t\tplain\r\n"
                  L"\t\t# ms\r\n"
                  L"\t}\r\n"
                  L"\t# ms\r\n"
                  L"}\r\n"
                  L"after\r\n");
        EXPECT_FALSE(log.ExceptionFlag());
    }
    EXPECT_EQ(TraceLog::Current(), nullptr);
}

TEST_F(TraceLogTest, ScopeOpenedWithoutCurrentLogWritesNothingEvenIntoALogOpenedLater)
{
    TraceScope orphan(L"Orphan::Run");
    EXPECT_EQ(orphan.Log(), nullptr);
    TraceLog log(L"LOG", false);
    orphan.WriteLine(L"lost");
    orphan.Value(L"v", _variant_t(1L));
    orphan.String(L"s", L"x");
    EXPECT_EQ(orphan.HResult(L"hr", E_FAIL), E_FAIL);
    {
        TraceScope scope(L"Real::Run");
    }
    EXPECT_EQ(Timeless(log.Text()), L"LOG\r\n{Real::Run\r\n\t# ms\r\n}\r\n");
}

TEST_F(TraceLogTest, RecordsRenderHexResultCodesValuesAndEscapedTexts)
{
    TraceLog log(L"LOG", false);
    {
        TraceScope scope(L"A::B");
        scope.Hex(L"handle", 255);
        scope.Hex(L"minus", -1);
        EXPECT_EQ(scope.HResult(L"call", E_FAIL), E_FAIL);
        EXPECT_EQ(scope.HResult(L"other", S_FALSE), S_FALSE);
        scope.Value(L"name", _variant_t(L"text"));
        scope.String(L"crlf", L"a\r\nb");
        scope.String(L"lf", L"a\nb");
        scope.String(L"quoted", L"say \"hi\"");
    }
    EXPECT_EQ(Timeless(log.Text()),
              L"LOG\r\n{A::B\r\n"
              L"\thandle=0x00000000000000ff\r\n"
              L"\tminus=0xffffffffffffffff\r\n"
              L"\tcall=FAILED(0x80004005)\r\n"
              L"\tother=SUCCEEDED(0x00000001)\r\n"
              L"\tname=text\r\n"
              L"\tcrlf=\"a\\r\\nb\"\r\n"
              L"\tlf=\"a\\nb\"\r\n"
              L"\tquoted=\"say \"hi\"\"\r\n"
              L"\t# ms\r\n}\r\n");
}

TEST_F(TraceLogTest, ExceptionCaughtInsideScopeAndFollowedByARecordLeavesNoMarkAndNoCopy)
{
    TraceLog parent(L"PARENT", false);
    {
        TraceLog child(L"CHILD", false);
        TraceScope scope(L"Child::Run");
        try {
            throw std::runtime_error("handled");
        } catch (const std::exception&) {
        }
        scope.WriteLine(L"recovered");
    }
    EXPECT_EQ(parent.Text(), L"PARENT\r\n");
    EXPECT_FALSE(parent.ExceptionFlag());
}

TEST_F(TraceLogTest, EscapingExceptionMarksOnlyTheInnermostScopeAndCopiesTheChildIntoItsParent)
{
    TraceLog parent(L"PARENT", false);
    {
        TraceScope root(L"Parent::Run");
        try {
            RunChildLogThatFails();
        } catch (const std::wstring&) {
        }
        root.WriteLine(L"caught");
    }
    EXPECT_EQ(Timeless(parent.Text()),
              L"PARENT\r\n"
              L"{Parent::Run\r\n"
              L"\tCHILD\r\n"
              L"\t{Outer::Run\r\n"
              L"\t\tbefore\r\n"
              L"\t\t{Middle::Run\r\n"
              L"\t\t\t{Inner::Run\r\n"
              L"\t\t\t\tEXCEPTION!\r\n"
              L"\t\t\t\t# ms\r\n"
              L"\t\t\t}\r\n"
              L"\t\t\t# ms\r\n"
              L"\t\t}\r\n"
              L"\t\t# ms\r\n"
              L"\t}\r\n"
              L"\r\n"
              L"\tcaught\r\n"
              L"\t# ms\r\n"
              L"}\r\n");
}

TEST_F(TraceLogTest, RethrowFromACatchingScopeMarksThatScopeToo)
{
    TraceLog log(L"LOG", false);
    try {
        TraceScope outer(L"Outer::Run");
        try {
            TraceScope inner(L"Inner::Run");
            throw 42;
        } catch (int) {
            throw;
        }
    } catch (int) {
    }
    EXPECT_EQ(Timeless(log.Text()),
              L"LOG\r\n{Outer::Run\r\n"
              L"\t{Inner::Run\r\n\t\tEXCEPTION!\r\n\t\t# ms\r\n\t}\r\n"
              L"\tEXCEPTION!\r\n\t# ms\r\n}\r\n");
    EXPECT_TRUE(log.ExceptionFlag());
}

TEST_F(TraceLogTest, ExceptionBeforeTheFirstScopeMarksTheChildLogWhichIsCopiedAtClose)
{
    TraceLog parent(L"PARENT", false);
    parent.WriteLine(L"start");
    try {
        TraceLog child(L"CHILD", false);
        child.WriteLine(L"working");
        throw std::runtime_error("early");
    } catch (const std::exception&) {
    }
    EXPECT_EQ(parent.Text(), L"PARENT\r\nstart\r\nCHILD\r\nworking\r\n\r\n");
    EXPECT_EQ(TraceLog::Current(), &parent);
}

TEST_F(TraceLogTest, FlushToParentOfARootLogOnlyClearsTheFlag)
{
    TraceLog log(L"ROOT", false);
    try {
        throw 1;
    } catch (int) {
    }
    ASSERT_TRUE(log.ExceptionFlag());
    log.FlushToParent();
    EXPECT_FALSE(log.ExceptionFlag());
    EXPECT_EQ(log.Text(), L"ROOT\r\n");
}

TEST_F(TraceLogTest, FlushToParentCopiesAtTheParentsIndentOnceAndClearsTheMark)
{
    TraceLog parent(L"PARENT", false);
    TraceScope loop(L"Batch::Run");
    {
        TraceLog item(L"Item_i", false);
        try {
            throw 1;
        } catch (int) {
        }
        item.WriteLine(L"COM Error!");
        item.FlushToParent();
        EXPECT_FALSE(item.ExceptionFlag());
    }
    EXPECT_EQ(parent.Text(), L"PARENT\r\n{Batch::Run\r\n\tItem_i\r\n\tCOM Error!\r\n\r\n");
}

TEST_F(TraceLogTest, AFlushFollowedByARethrowReachesTheParentOnceAndAKeptLogNever)
{
    TraceLog parent(L"PARENT", false);
    try {
        TraceLog item(L"Item_i", false);
        try {
            throw 1;
        } catch (int) {
            item.FlushToParent();
            item.FlushToParent();
            throw;
        }
    } catch (int) {
    }
    {
        TraceLog kept(L"Kept_i", false);
        kept.KeepFromParent();
        try {
            throw 2;
        } catch (int) {
        }
    }
    EXPECT_EQ(parent.Text(), L"PARENT\r\nItem_i\r\n\r\n");
}

TEST_F(TraceLogTest, ExceptionsOfOtherThreadsAndDebugOutputLeaveNoMark)
{
    TraceLog log(L"LOG", false);
    {
        TraceScope scope(L"A::B");
        std::thread worker([] {
            try {
                throw std::runtime_error("elsewhere");
            } catch (const std::exception&) {
            }
            RaiseAndContinue(EXCEPTION_ACCESS_VIOLATION);
        });
        worker.join();
        OutputDebugStringW(L"debug output");
        OutputDebugStringA("debug output");
        RaiseAndContinue(0x406D1388);  // a thread being named
    }
    EXPECT_EQ(Timeless(log.Text()), L"LOG\r\n{A::B\r\n\t# ms\r\n}\r\n");
    EXPECT_FALSE(log.ExceptionFlag());
}

TEST_F(TraceLogTest, HardwareFaultsAndForeignCompilersThrowsMarkTheCurrentScope)
{
    TraceLog log(L"LOG", false);
    {
        TraceScope scope(L"Fault::Run");
        RaiseAndContinue(EXCEPTION_ACCESS_VIOLATION);
    }
    {
        TraceScope scope(L"Host::Run");
        RaiseAndContinue(0xE06D7363);
    }
    EXPECT_EQ(Timeless(log.Text()),
              L"LOG\r\n"
              L"{Fault::Run\r\n\tEXCEPTION!\r\n\t# ms\r\n}\r\n"
              L"{Host::Run\r\n\tEXCEPTION!\r\n\t# ms\r\n}\r\n");
    EXPECT_TRUE(log.ExceptionFlag());
}

TEST_F(TraceLogTest, TraceCurrentExceptionSaysWhatWasThrownIntoTheCurrentLog)
{
    TraceLog log(L"LOG", false);
    try {
        throw std::wstring(L"File not found: x.lng");
    } catch (...) {
        TraceCurrentException(L"LoadLanguage");
    }
    try {
        throw DataConvertError(DataConvertError::InvalidArgument, L"StrToInt32", L"abc");
    } catch (...) {
        TraceCurrentException(L"Read");
    }
    try {
        throw 7;
    } catch (...) {
        TraceCurrentException(L"Other");
    }
    TraceCurrentException(L"Nothing in flight");
    const std::wstring expected = L"LOG\r\nLoadLanguage: File not found: x.lng\r\nRead: "
                                  + DataConvertError(DataConvertError::InvalidArgument, L"StrToInt32", L"abc").Message()
                                  + L"\r\nOther: Unexpected Error!\r\n";
    EXPECT_EQ(log.Text(), expected);
}
