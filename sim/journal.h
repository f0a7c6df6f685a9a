#pragma once
// The journal of every call made on a stand-in object, in the order the calls came.
//
// Each call has a one-line text that tests compare with what they expect:
//   "app5.50(&,&,&,&)"   version-5 method: object, ".", dispatch id, arguments first-first
//   "doc5.74"            version-5 property get ("doc5.7[1]" with index arguments)
//   "doc5.70=false"      version-5 property put
//   "doc7#67(0)"         version-7 method: object, "#", position, in-arguments
// Arguments: booleans of dispatch calls true/false, numbers in decimal (VARIANT_BOOL of version-7 calls
// is a number: -1 or 0), texts in double quotes (UTF-8), stand-in objects by name, other objects as
// "object", null objects "null", by-reference and out arguments "&". A failed call ends in
// " -> " and its HRESULT in eight hexadecimal digits; a call no stand-in member answers ends in
// " (unexpected)" (the arguments of an unexpected version-7 call are not known: "doc7#28(?)").
#include "core/com.h"

#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class CallKind { Method, Get, Put, Slot };

struct Call {
    std::string object;
    CallKind kind = CallKind::Method;
    int member = 0;                    // dispatch id or position
    std::vector<std::string> args;     // rendered, first-first; for a put, the index arguments
    std::string value;                 // rendered new value of a put
    HRESULT result = S_OK;
    bool unexpected = false;

    // "doc5.70" or "doc7#67": the member's key, as fault injection names members.
    std::string Key() const;
    std::string Text() const;
};

class Journal {
public:
    size_t Add(Call call);
    Call& At(size_t index) { return index == static_cast<size_t>(-1) ? scratch_ : calls_[index]; }
    const std::vector<Call>& Calls() const { return calls_; }
    std::vector<std::string> Lines() const;
    std::vector<std::string> LinesOf(std::string_view object) const;   // calls on one object
    std::vector<std::string> Unexpected() const;                       // calls nothing answered
    size_t Count(std::string_view line) const;                         // how often exactly this line came
    void Clear() { calls_.clear(); }
    // Benchmarks: calls are still answered and faults still counted, but no longer kept.
    void Pause(bool paused) { paused_ = paused; }
    // Every call added, kept or not.
    size_t Total() const { return total_; }

private:
    std::vector<Call> calls_;
    Call scratch_;
    bool paused_ = false;
    size_t total_ = 0;
};

// Rendering of argument values for the journal.
std::string Utf8(const wchar_t* text, size_t length);
std::string Utf8(const std::wstring& text);
std::string RenderText(const wchar_t* text);   // quoted; null gives null
std::string RenderObject(IUnknown* object);    // a stand-in object's name, "object", or "null"
std::string RenderVariant(const VARIANT& value);

} // namespace sim
