// Runs as a Russian user (see extra.cmake): the separator comes from Windows, not from a test override.
#include "core/format_string.h"
#include "core/number_text.h"

#include <gtest/gtest.h>

TEST(RussianUser, DoublesAreWrittenWithTheUsersCommaSeparator)
{
    EXPECT_EQ(UserDecimalSeparator(), L',');
    EXPECT_EQ(FormatString(L"%.2f", 1.5), L"1,50");
    EXPECT_EQ(FormatString(L"%g mm", 0.25), L"0,25 mm");
}

TEST(RussianUser, ReadingNumbersDependsOnNeitherTheUserNorTheRuntimeLocale)
{
    EXPECT_EQ(StrToDouble(L"2.5"), 2.5);
    EXPECT_EQ(StrToDouble(L"2,5"), 2.5);
    EXPECT_EQ(DoubleToStr(0.5, L'.'), L"0.5");
}
