#pragma once
// The in-memory trace log of a command. One log is current per process; a log opened while another is
// current is its child and gets its text copied into the parent when an exception passed through it.
// Every line is the current indent, the text and CR LF; a scope writes "{name" on entry and "}" on exit.
#include "core/com.h"

#include <cstdint>
#include <string>
#include <vector>

class TraceScope;

class TraceLog {
public:
    // Opens the log and makes it current; writes U+FEFF first when writeBom is set, then the title line.
    TraceLog(const std::wstring& name, bool writeBom);
    // Makes the parent current again and copies the text into it when an exception passed, unless it was
    // flushed or kept from the parent before.
    ~TraceLog();
    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;

    void Enter(TraceScope& scope);
    void Leave(bool scopeSawException);
    void WriteLine(const std::wstring& text);
    // Appends the parent's indent, this whole text and CR LF to the parent (if any), once: a later flush,
    // or an exception passing afterwards (a rethrow after a flush), copies nothing more. Clears the flag.
    void FlushToParent();
    // The text will not reach the parent, whatever passes through the log afterwards.
    void KeepFromParent() noexcept;

    const std::wstring& Text() const noexcept { return text_; }
    TraceLog* Parent() const noexcept { return parent_; }
    bool ExceptionFlag() const noexcept { return exceptionFlag_; }

    // The process-wide current log, or null.
    static TraceLog* Current() noexcept;

private:
    static LONG CALLBACK OnException(EXCEPTION_POINTERS* info);

    std::vector<TraceScope*> scopes_;
    std::wstring name_;
    std::wstring indent_;
    std::wstring indentUnit_;
    std::wstring text_;
    TraceLog* parent_;
    TraceScope* currentScope_;
    PVOID handler_;
    bool exceptionFlag_;
    bool settled_ = false;   // flushed or kept from the parent: the destructor copies nothing
    DWORD ownerThread_;
};

// Brackets one operation in the current log, times it and writes value records. Named "Class::Method",
// ":Class" for a constructor, "~Class" for a destructor. Without a current log it writes nothing.
class TraceScope {
public:
    explicit TraceScope(std::wstring name);
    ~TraceScope();
    TraceScope(const TraceScope&) = delete;
    TraceScope& operator=(const TraceScope&) = delete;

    void WriteLine(const std::wstring& text);
    void Value(const std::wstring& name, const _variant_t& value);   // name=value
    void String(const std::wstring& name, const std::wstring& text); // name="text", CR and LF escaped
    void Hex(const std::wstring& name, std::int64_t value);          // name=0x<16 digits>
    HRESULT HResult(const std::wstring& name, HRESULT code);         // name=FAILED(0x..)/SUCCEEDED(0x..)

    const std::wstring& Name() const noexcept { return name_; }
    TraceLog* Log() const noexcept { return log_; }

private:
    friend class TraceLog;
    void Record(const std::wstring& line);

    TraceLog* log_;
    std::wstring name_;
    DWORD start_;
    bool exceptionFlag_;
};

// For the catch-all at a boundary: writes "<where>: <what the exception in flight says>" to the current
// log, if any: the message the catch table would show for it (DescribeCurrentException), or the kind's
// trace line when it has none ("Unexpected Error!"). Call only inside a catch block. Never throws.
void TraceCurrentException(const std::wstring& where) noexcept;

namespace testhooks {
// Forgets the current log (a test that leaked one must not disturb the next).
void ResetCurrentTraceLog() noexcept;
} // namespace testhooks
