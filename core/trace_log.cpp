#include "core/trace_log.h"

#include "core/com_convert.h"
#include "core/exception_describer.h"
#include "core/format_string.h"
#include "core/string_utils.h"

#include <exception>
#include <utility>

namespace {

TraceLog* g_currentLog = nullptr;

// Codes that reach a vectored handler without being an exception raised into the code being traced:
// g++ raises its unwind code once per frame it unwinds through (so every scope on the way out would be
// marked), and debug output and thread naming go through the exception mechanism too.
constexpr DWORD GccUnwindCode = 0x21474343;
constexpr DWORD DebugPrintCode = 0x40010006;
constexpr DWORD DebugPrintWideCode = 0x4001000A;
constexpr DWORD ThreadNameCode = 0x406D1388;

bool IsRaisedIntoTracedCode(DWORD code) noexcept
{
    switch (code) {
    case GccUnwindCode:
    case DebugPrintCode:
    case DebugPrintWideCode:
    case ThreadNameCode:
        return false;
    default:
        return true;
    }
}

// The root log of a command holds the whole command; start it large enough for a typical one.
constexpr size_t RootLogReserve = 32 * 1024;

} // namespace

TraceLog::TraceLog(const std::wstring& name, bool writeBom)
    : name_(name), indentUnit_(L"\t"), parent_(g_currentLog), currentScope_(nullptr), handler_(nullptr),
      exceptionFlag_(false), ownerThread_(GetCurrentThreadId())
{
    if (!parent_)
        text_.reserve(RootLogReserve);
    if (writeBom)
        text_ += L'\xFEFF';
    // The title line goes at the (still empty) indent; a child continues at its parent's depth.
    text_ += indent_ + name_ + L"\r\n";
    if (parent_)
        indent_ = parent_->indent_;
    // Nothing below throws: once current, the log is always undone by its destructor.
    g_currentLog = this;
    handler_ = AddVectoredExceptionHandler(1, &TraceLog::OnException);
}

TraceLog::~TraceLog()
{
    g_currentLog = parent_;
    if (handler_)
        RemoveVectoredExceptionHandler(handler_);
    if (exceptionFlag_ && !settled_) {
        try {
            FlushToParent();
        } catch (...) {
            // Out of memory while copying: the parent simply lacks this block.
        }
    }
}

TraceLog* TraceLog::Current() noexcept
{
    return g_currentLog;
}

LONG CALLBACK TraceLog::OnException(EXCEPTION_POINTERS* info)
{
    TraceLog* log = g_currentLog;
    // Exceptions of other threads say nothing about the operation being traced; reading the log from
    // them would also race with its owner freeing it.
    if (!log || log->ownerThread_ != GetCurrentThreadId())
        return EXCEPTION_CONTINUE_SEARCH;
    if (!info || !info->ExceptionRecord || !IsRaisedIntoTracedCode(info->ExceptionRecord->ExceptionCode))
        return EXCEPTION_CONTINUE_SEARCH;
    if (log->currentScope_)
        log->currentScope_->exceptionFlag_ = true;
    else
        log->exceptionFlag_ = true;
    return EXCEPTION_CONTINUE_SEARCH;
}

void TraceLog::Enter(TraceScope& scope)
{
    const std::wstring line = indent_ + L"{" + scope.name_ + L"\r\n";
    scopes_.push_back(&scope);
    try {
        text_ += line;
        indent_ += indentUnit_;
    } catch (...) {
        scopes_.pop_back();
        throw;
    }
    currentScope_ = &scope;
}

void TraceLog::Leave(bool scopeSawException)
{
    exceptionFlag_ = exceptionFlag_ || scopeSawException;
    if (indent_.size() >= indentUnit_.size())
        indent_.resize(indent_.size() - indentUnit_.size());
    // The scope is gone from the stack before the line is written, so that a failed write cannot leave
    // a dangling current scope behind.
    if (!scopes_.empty())
        scopes_.pop_back();
    currentScope_ = scopes_.empty() ? nullptr : scopes_.back();
    text_ += indent_ + L"}\r\n";
}

void TraceLog::WriteLine(const std::wstring& text)
{
    text_ += indent_ + text + L"\r\n";
}

void TraceLog::FlushToParent()
{
    if (parent_ && !settled_)
        parent_->text_ += parent_->indent_ + text_ + L"\r\n";
    settled_ = true;
    exceptionFlag_ = false;
}

void TraceLog::KeepFromParent() noexcept
{
    settled_ = true;
    exceptionFlag_ = false;
}

TraceScope::TraceScope(std::wstring name)
    : log_(TraceLog::Current()), name_(std::move(name)), start_(GetTickCount()), exceptionFlag_(false)
{
    if (log_)
        log_->Enter(*this);
}

TraceScope::~TraceScope()
{
    const bool sawException = exceptionFlag_;
    if (!log_)
        return;
    try {
        if (sawException)
            log_->WriteLine(L"EXCEPTION!");
        // Unsigned 32-bit difference: a wrap of the tick counter still gives the elapsed time.
        const DWORD elapsed = GetTickCount() - start_;
        Record(FormatString(L"%d ms", _variant_t(static_cast<unsigned long>(elapsed))));
    } catch (...) {
        // A destructor never throws; the scope is closed below whatever happened to its last lines.
    }
    try {
        log_->Leave(sawException);
    } catch (...) {
    }
}

void TraceScope::Record(const std::wstring& line)
{
    if (!log_)
        return;
    log_->WriteLine(line);
    exceptionFlag_ = false;
}

void TraceScope::WriteLine(const std::wstring& text)
{
    Record(text);
}

void TraceScope::Value(const std::wstring& name, const _variant_t& value)
{
    Record(FormatString(L"%s=%s", _variant_t(name.c_str()), value));
}

void TraceScope::String(const std::wstring& name, const std::wstring& text)
{
    std::wstring shown = text;
    if (shown.find_first_of(L"\r\n") != std::wstring::npos)
        shown = ReplaceAll(ReplaceAll(shown, L"\r", L"\\r"), L"\n", L"\\n");
    Record(FormatString(L"%s=\"%s\"", _variant_t(name.c_str()), _variant_t(shown.c_str())));
}

void TraceScope::Hex(const std::wstring& name, std::int64_t value)
{
    Record(FormatString(L"%s=%x", _variant_t(name.c_str()), _variant_t(static_cast<__int64>(value))));
}

HRESULT TraceScope::HResult(const std::wstring& name, HRESULT code)
{
    Record(FormatString(code < 0 ? L"%s=FAILED(%x)" : L"%s=SUCCEEDED(%x)", _variant_t(name.c_str()),
                        _variant_t(static_cast<long>(code))));
    return code;
}

void TraceCurrentException(const std::wstring& where) noexcept
{
    TraceLog* log = TraceLog::Current();
    if (!log || !std::current_exception())
        return;
    try {
        // What the user would read; a kind that has no message is named by its trace line.
        const FailureDescription failure = DescribeCurrentException();
        log->WriteLine(where + L": " + (failure.message.empty() ? failure.tag : failure.message));
    } catch (...) {
    }
}

namespace testhooks {

void ResetCurrentTraceLog() noexcept
{
    g_currentLog = nullptr;
}

} // namespace testhooks
