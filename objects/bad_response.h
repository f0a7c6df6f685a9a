#pragma once
// A reference-book response that is missing or lacks what the library needs: the short reason is a
// plain, untranslated text ("No response", "No location", ...). Not a std::exception, so that the command
// handler's standard-library row cannot take it for a library failure.
#include "core/exception_describer.h"

#include <string>
#include <utility>

class BadResponse : public LibraryFailure {
public:
    explicit BadResponse(std::wstring reason) : reason_(std::move(reason)) {}
    const std::wstring& Reason() const noexcept { return reason_; }
    // "Данные об изделии некорректны (<reason>)."
    FailureDescription Describe() const override;

private:
    std::wstring reason_;
};

class DataConvertError;
// A value of the response that does not convert: the converter's text names the value
// ("StrToInt32(abc) invalid argument").
BadResponse BadResponseOfValue(const DataConvertError& failure);
