// Fault injection: the host calls a test makes fail, and how they fail.
#include "hostapi/velmar.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

class Faults : public sim::StandInTest {
protected:
    HRESULT CallRefresh()
    {
        DISPPARAMS none{};
        _variant_t result;
        EXCEPINFO exception{};
        const HRESULT hr = velmar().Application5()->Invoke(IVel5Application::Refresh, IID_NULL, 0, DISPATCH_METHOD,
                                                           &none, &result, &exception, nullptr);
        lastCode_ = exception.scode;
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        return hr;
    }
    HRESULT lastCode_ = S_OK;
};

TEST_F(Faults, TheNthCallFromNowFails)
{
    velmar().Faults().FailCall(2, E_OUTOFMEMORY);
    EXPECT_EQ(CallRefresh(), S_OK);
    EXPECT_EQ(CallRefresh(), DISP_E_EXCEPTION);
    EXPECT_EQ(CallRefresh(), S_OK);
    EXPECT_EQ(journal().Lines(), (Lines{"app5.16()", "app5.16() -> 8007000E", "app5.16()"}));
}

TEST_F(Faults, AVersionFiveFailureComesAsAnExceptionCarryingTheCode)
{
    velmar().Faults().FailMember("app5.16", E_ACCESSDENIED);
    EXPECT_EQ(CallRefresh(), DISP_E_EXCEPTION);
    EXPECT_EQ(lastCode_, E_ACCESSDENIED);
}

TEST_F(Faults, AMemberFailsAsOftenAsAsked)
{
    velmar().Faults().FailMember("app5.16", E_FAIL, 2);
    EXPECT_EQ(CallRefresh(), DISP_E_EXCEPTION);
    EXPECT_EQ(CallRefresh(), DISP_E_EXCEPTION);
    EXPECT_EQ(CallRefresh(), S_OK);
}

TEST_F(Faults, AVersionSevenFailureLeavesErrorInformationNamingTheInterface)
{
    velmar().OpenDocument(4);
    velmar().Faults().FailMember("doc7#11", E_FAIL);
    long kind = 0;
    EXPECT_EQ(velmar().ActiveDocument()->V7().As<IVel7Document>()->get_Kind(&kind), E_FAIL);
    IErrorInfoPtr info;
    ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
    GUID guid{};
    info->GetGUID(&guid);
    EXPECT_EQ(guid, __uuidof(IVel7Document));
}

TEST_F(Faults, AQueryFailsForOneObjectAndOneInterfaceOnly)
{
    sim::Document& doc = velmar().OpenDocument(4);
    velmar().Faults().FailQuery("doc7", __uuidof(IVel7Document3D), E_UNEXPECTED);
    IVel7Document3D* document = nullptr;
    EXPECT_EQ(doc.V7().Ptr()->QueryInterface(__uuidof(IVel7Document3D), reinterpret_cast<void**>(&document)), E_UNEXPECTED);
    EXPECT_NE(doc.V7().As<IVel7Document>(), nullptr);
    EXPECT_NE(doc.V5().As<IVel5Document3D>(), nullptr);
}

TEST_F(Faults, ClearedFaultsNoLongerFire)
{
    velmar().Faults().FailMember("app5.16", E_FAIL);
    velmar().Faults().FailCall(1, E_FAIL);
    velmar().Faults().Clear();
    EXPECT_EQ(CallRefresh(), S_OK);
}
