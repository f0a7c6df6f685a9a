#pragma once
// A reference-book response that is missing or lacks what the library needs: the short reason is a
// plain, untranslated text ("No response", "No location", ...). Deliberately not a std::exception, so
// that the command handler's standard-library row cannot take it for a library failure.
#include <string>
#include <utility>

class BadResponse {
public:
    explicit BadResponse(std::wstring reason) : reason_(std::move(reason)) {}
    const std::wstring& Reason() const noexcept { return reason_; }

private:
    std::wstring reason_;
};
