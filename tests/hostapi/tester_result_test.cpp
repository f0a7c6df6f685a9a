// Velmar's last error for the test interface.
#include "hostapi/tester_result.h"

#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

class TesterResult : public sim::StandInTest {};

TEST_F(TesterResult, CodeAndTextComeFromTheResultObjectOfTheText)
{
    velmar().SetLastError(3, L"Деталь не вставлена");
    long code = 0;
    _bstr_t text(L"InsertTest");
    TesterResultToBstr(velmar().App7().As<IVel7Application>(), code, text);
    EXPECT_EQ(code, 3);
    EXPECT_EQ(std::wstring(text), L"Деталь не вставлена");
    EXPECT_EQ(journal().Lines(), (Lines{"app7#21(&,&)", "lastError#11(&)", "lastError#12(&)"}));
}

TEST_F(TesterResult, AFailingApplicationLeavesCodeAndTextAlone)
{
    velmar().Faults().FailMember("app7#21", E_FAIL);
    long code = 7;
    _bstr_t text(L"before");
    EXPECT_THROW(TesterResultToBstr(velmar().App7().As<IVel7Application>(), code, text), _com_error);
    EXPECT_EQ(code, 7);
    EXPECT_EQ(std::wstring(text), L"before");
}
