#pragma once
// What a caught failure means, for the trace and for the user: one description for every kind of
// exception the library throws. The platform's kinds and core's own are described here; the kinds of the
// upper layers derive from LibraryFailure and describe themselves, so that core needs to know nothing
// of them.
//
//   try { ... } catch (...) {
//       const FailureDescription failure = DescribeCurrentException();
//       scope.WriteLine(failure.tag);
//   }
#include <string>

struct FailureDescription {
    enum class Outcome {
        Warning,    // shown at once in a message box; the command ends quietly
        Rollback,   // planned: nothing is shown
        Error,      // the error dialog with the trace log
    };
    Outcome outcome = Outcome::Error;
    std::wstring tag;         // the trace line of the kind: "COM Error!", "Bad response!", ...
    std::wstring title;       // translated; empty for a warning and a rollback
    std::wstring message;     // what the user reads
    std::wstring traceName;   // the record that keeps the details in the trace ("aErrMsg"); empty: none
    std::wstring traceText;
};

// The base of the library's own exception kinds above core (a bad response, an spc object that
// could not be made). Deliberately no std::exception: the standard-library row must not take them.
class LibraryFailure {
public:
    virtual ~LibraryFailure() = default;
    virtual FailureDescription Describe() const = 0;

protected:
    LibraryFailure() = default;
    LibraryFailure(const LibraryFailure&) = default;
    LibraryFailure& operator=(const LibraryFailure&) = default;
};

// An error of the "Внутренняя ошибка" family with its message (traced as "aErrMsg").
FailureDescription InternalErrorDescription(const std::wstring& tag, const std::wstring& message);

// The exception in flight; call only inside a catch block. Never throws: a failure that cannot be
// described (out of memory while describing) is the unexpected kind.
FailureDescription DescribeCurrentException() noexcept;
