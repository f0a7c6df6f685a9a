#pragma once
// Checks of a DataConvertError that a call must throw.
#include "core/data_convert_error.h"

#include <gtest/gtest.h>

#include <string>

template <typename Call>
DataConvertError CaughtDataConvertError(Call call)
{
    try {
        call();
    } catch (const DataConvertError& error) {
        return error;
    }
    ADD_FAILURE() << "no DataConvertError was thrown";
    return DataConvertError(99, L"", L"");
}

inline void ExpectDataConvertError(const DataConvertError& error, uint32_t code, const wchar_t* function,
                                   const std::wstring& value)
{
    EXPECT_EQ(error.code, code);
    EXPECT_EQ(error.function, function);
    EXPECT_EQ(error.value, value);
}
