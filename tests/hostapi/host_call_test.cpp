// The version-5 invoke helper, the version-7 call helpers and the interface query.
#include "hostapi/dispatch_call.h"
#include "hostapi/velmar.h"
#include "hostapi/vtable_call.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {

class HostCall : public sim::StandInTest {
protected:
    // A version-5 object that answers as the application interface does.
    IVel5ApplicationPtr App5() { return velmar().App5().As<IVel5Application>(); }
};


} // namespace

TEST_F(HostCall, MethodArgumentsReachTheHostFirstFirstWithTheirAutomationTypes)
{
    auto object = velmar().NewObject("object");
    object->Supports(__uuidof(IVel5Part));
    std::vector<VARTYPE> types;
    object->Method(9, [&](sim::Args& args) {
        for (unsigned i = 0; i < args.Count(); ++i)
            types.push_back(V_VT(&args.At(i)));
        return _variant_t((args.Text(1) + L"!").c_str());
    });
    auto part = object->As<IVel5Part>();
    const _variant_t result = V5Method(part, 9, 7L, L"text", 2.5, true, short{3}, part);

    EXPECT_EQ(_bstr_t(result), _bstr_t(L"text!"));
    EXPECT_EQ(types, (std::vector<VARTYPE>{VT_I4, VT_BSTR, VT_R8, VT_BOOL, VT_I2, VT_DISPATCH}));
    EXPECT_EQ(journal().Lines(), (Lines{"object.9(7,\"text\",2.5,true,3,object)"}));
}

TEST_F(HostCall, ByReferenceArgumentsAreFilledByTheHost)
{
    long major = -1, minor = -1, release = -1, build = -1;
    V5Method(App5(), IVel5Application::Version, ByRef(major), ByRef(minor), ByRef(release), ByRef(build));
    EXPECT_EQ((std::vector<long>{major, minor, release, build}), (std::vector<long>{15, 0, 1, 0}));
    EXPECT_EQ(journal().Lines(), (Lines{"app5.50(&,&,&,&)"}));
}

TEST_F(HostCall, AByReferenceArgumentOfTheWrongTypeIsRefusedByTheHost)
{
    short major = 0;
    long minor = 0, release = 0, build = 0;
    const _com_error error = sim::CaughtHostError([&] {
        V5Method(App5(), IVel5Application::Version, ByRef(major), ByRef(minor), ByRef(release), ByRef(build));
    });
    EXPECT_EQ(error.Error(), DISP_E_TYPEMISMATCH);
}

TEST_F(HostCall, PropertyPutAndGetUseTheirDispatchKinds)
{
    auto object = velmar().NewObject("object");
    object->Supports(__uuidof(IVel5Part)).Property(38, 5L);
    auto part = object->As<IVel5Part>();
    EXPECT_EQ(static_cast<long>(V5Get(part, 38)), 5);
    V5Put(part, 38, 0L);
    EXPECT_EQ(object->Long(38), 0);
    EXPECT_EQ(journal().Lines(), (Lines{"object.38", "object.38=0"}));
}

TEST_F(HostCall, AFailingMemberRaisesItsHostCodeWithTheInterfaceAndTheHostText)
{
    velmar().Faults().FailMember("app5.16", E_ACCESSDENIED);
    const _com_error error = sim::CaughtHostError([&] { V5Method(App5(), IVel5Application::Refresh); });
    EXPECT_EQ(error.Error(), E_ACCESSDENIED);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel5Application));
    EXPECT_EQ(error.Description(), _bstr_t(L"The host call failed."));
    EXPECT_EQ(journal().Lines(), (Lines{"app5.16() -> 80070005"}));
}

TEST_F(HostCall, AMemberTheHostDoesNotHaveRaisesMemberNotFound)
{
    const _com_error error = sim::CaughtHostError([&] { V5Method(App5(), 999); });
    EXPECT_EQ(error.Error(), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel5Application));
    journal().Clear();   // the unexpected call was the point of this test
}

TEST_F(HostCall, CallsThroughAnEmptyPointerRaiseEPointerWithTheInterface)
{
    IVel5ApplicationPtr none;
    const _com_error v5 = sim::CaughtHostError([&] { V5Method(none, IVel5Application::Refresh); });
    EXPECT_EQ(v5.Error(), E_POINTER);
    EXPECT_EQ(v5.GUID_(), __uuidof(IVel5Application));
    IVel7DocumentPtr none7;
    const _com_error v7 = sim::CaughtHostError([&] { V7Get(none7, &IVel7Document::get_Kind); });
    EXPECT_EQ(v7.Error(), E_POINTER);
    EXPECT_EQ(v7.GUID_(), __uuidof(IVel7Document));
}

TEST_F(HostCall, VersionSevenOutValuesComeBackOwned)
{
    velmar().OpenDocument(4);
    auto app7 = velmar().App7().As<IVel7Application>();
    IDispatchPtr document = V7Get(app7, &IVel7Application::get_ActiveDocument);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(V7Get(QueryHost<IVel7Document>(document), &IVel7Document::get_Kind), 4);
    EXPECT_EQ(journal().Lines(), (Lines{"app7#19(&)", "doc7#11(&)"}));
}

TEST_F(HostCall, AFailingVersionSevenCallRaisesItsHresultWithTheInterface)
{
    velmar().OpenDocument(5);
    velmar().Faults().FailMember("doc7#67", E_FAIL);
    auto doc7 = velmar().ActiveDocument()->V7().As<IVel7Document3D>();
    const _com_error error = sim::CaughtHostError([&] { V7Call(doc7, &IVel7Document3D::put_UndoContainerMode, VARIANT_FALSE); });
    EXPECT_EQ(error.Error(), E_FAIL);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel7Document3D));
    EXPECT_EQ(journal().Lines(), (Lines{"doc7#67(0) -> 80004005"}));
}

TEST_F(HostCall, AnOutValueTheHostFilledBeforeFailingIsReleased)
{
    // A careless host hands out an object and still reports a failure.
    velmar().App7().Face<IVel7Application>().On<&IVel7Application::get_ActiveDocument>(19, [this](IDispatch** out) -> HRESULT {
        *out = velmar().App5().Ptr();
        (*out)->AddRef();
        return E_FAIL;
    });
    auto app7 = velmar().App7().As<IVel7Application>();
    EXPECT_EQ(sim::CaughtHostError([&] { V7Get(app7, &IVel7Application::get_ActiveDocument); }).Error(), E_FAIL);
    // The teardown fails when the reference handed out with the failure is still held.
}

TEST_F(HostCall, AMissingInterfaceGivesNullAndAnyOtherQueryFailureRaises)
{
    auto object = velmar().NewObject("object");
    object->Supports(__uuidof(IVel5Part));
    EXPECT_EQ(QueryHost<IVel5Entity>(object->Ptr()), nullptr);
    EXPECT_NE(QueryHost<IVel5Part>(object->Ptr()), nullptr);

    velmar().Faults().FailQuery("object", __uuidof(IVel5Part), E_UNEXPECTED);
    const _com_error error = sim::CaughtHostError([&] { QueryHost<IVel5Part>(object->Ptr()); });
    EXPECT_EQ(error.Error(), E_UNEXPECTED);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel5Part));
}

TEST_F(HostCall, AQueryOfNothingRaisesEPointerUnlessNothingIsAllowed)
{
    const _com_error error = sim::CaughtHostError([] { QueryHost<IVel5Part>(nullptr); });
    EXPECT_EQ(error.Error(), E_POINTER);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel5Part));
    EXPECT_EQ(QueryHostOrNull<IVel5Part>(nullptr), nullptr);
}

TEST_F(HostCall, AResultThatIsNoObjectIsATypeMismatch)
{
    EXPECT_EQ(ObjectAs<IVel5Part>(_variant_t()), nullptr);
    const _com_error error = sim::CaughtHostError([] { ObjectAs<IVel5Part>(_variant_t(5L)); });
    EXPECT_EQ(error.Error(), DISP_E_TYPEMISMATCH);
}
