// The dispatch sink's own contract: its identity, its names, what it answers without a handler, a
// source without connection points, and how an event's arguments are read.
#include "library/vel_events.h"

#include "hostapi/velmar_events.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

namespace {

class SinkContract : public sim::StandInTest {};

HRESULT IdOf(IDispatch& sink, std::vector<const wchar_t*> names, DISPID& id)
{
    return sink.GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(names.data()), static_cast<UINT>(names.size()), 0, &id);
}

} // namespace

TEST_F(SinkContract, AnswersItsInterfacesAndItsNamesExactlyAsWritten)
{
    VelAppEvents application;
    auto* document = new VelDocEvents;
    document->AddRef();
    struct Row {
        IDispatch* sink;
        IID iid;
        HRESULT hr;
    };
    for (const Row& row : {Row{&application, __uuidof(IVelApplicationEvents), S_OK}, Row{&application, IID_IDispatch, S_OK},
                           Row{&application, __uuidof(IVelDocumentEvents), E_NOINTERFACE},
                           Row{document, __uuidof(IVelDocumentEvents), S_OK}, Row{document, IID_IUnknown, S_OK},
                           Row{document, IID_IConnectionPoint, E_NOINTERFACE}}) {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(row.sink->QueryInterface(row.iid, &object), row.hr);
        EXPECT_EQ(object, SUCCEEDED(row.hr) ? static_cast<void*>(row.sink) : nullptr);
        if (object)
            row.sink->Release();
    }
    DISPID id = 0;
    EXPECT_EQ(IdOf(*document, {L"BeginProcess"}, id), S_OK);
    EXPECT_EQ(id, IVelDocumentEvents::BeginProcess);
    EXPECT_EQ(IdOf(*document, {L"EndProcess"}, id), S_OK);
    EXPECT_EQ(id, IVelDocumentEvents::EndProcess);
    EXPECT_EQ(IdOf(*document, {L"beginprocess"}, id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(IdOf(*document, {L"BeginProcess", L"EndProcess"}, id), E_INVALIDARG);
    EXPECT_EQ(IdOf(application, {L"OpenDocument"}, id), S_OK);
    EXPECT_EQ(id, IVelApplicationEvents::OpenDocument);

    // Without a handler the base answers no event.
    DISPPARAMS none{};
    EXPECT_EQ(document->Invoke(IVelDocumentEvents::BeginProcess, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    // The application sink's count deletes nothing; a document sink goes at 0.
    EXPECT_EQ(application.AddRef(), 1u);
    EXPECT_EQ(application.Release(), 0u);
    EXPECT_EQ(document->Release(), 0u);
}

TEST_F(SinkContract, ASourceWithoutConnectionPointsIsRefusedAndOneWithoutTheEventsLeavesItUnconnected)
{
    VelAppEvents sink;
    EXPECT_EQ(sim::CaughtHostError([&] { sink.Advise(velmar().App7().Ptr()); }).Error(), E_POINTER);
    EXPECT_EQ(sim::CaughtHostError([&] { sink.Advise(nullptr); }).Error(), E_POINTER);
    auto* other = new VelDocEvents;   // a document sink goes at its last Release, as the library makes them
    other->AddRef();
    EXPECT_FALSE(other->Advise(velmar().App5().Ptr()));   // the application has no document events
    EXPECT_EQ(other->Source(), nullptr);
    EXPECT_EQ(velmar().Events().Sinks(), 0u);
    EXPECT_EQ(journal().Lines(), (std::vector<std::string>{"app5Points#4({324C1A45-67AD-41FB-BE57-624F930646F1},&)"}));
    EXPECT_EQ(other->Release(), 0u);
}

TEST_F(SinkContract, AnArgumentIsTakenByItsPositionFromTheEndAndConvertedOrRefused)
{
    long referenced = 20181;
    VARIANT args[4];
    for (VARIANT& arg : args)
        VariantInit(&arg);
    V_VT(&args[3]) = VT_I2;   // the first argument
    V_I2(&args[3]) = 6;
    V_VT(&args[2]) = VT_I4 | VT_BYREF;
    V_I4REF(&args[2]) = &referenced;
    V_VT(&args[1]) = VT_DISPATCH;
    V_DISPATCH(&args[1]) = velmar().App5().Ptr().Detach();
    V_VT(&args[0]) = VT_BSTR;
    V_BSTR(&args[0]) = SysAllocString(L"x");
    DISPPARAMS params{args, nullptr, 4, 0};
    _variant_t value;
    ASSERT_TRUE(VelEvents::EventArgument(&params, 0, VT_I4, value));
    EXPECT_EQ(V_I4(&value), 6);
    ASSERT_TRUE(VelEvents::EventArgument(&params, 1, VT_I4, value));
    EXPECT_EQ(V_I4(&value), 20181);
    EXPECT_TRUE(VelEvents::EventArgument(&params, 2, VT_DISPATCH, value));
    EXPECT_FALSE(VelEvents::EventArgument(&params, 2, VT_I4, value)) << "an object is never asked for a number";
    EXPECT_FALSE(VelEvents::EventArgument(&params, 3, VT_I4, value));
    EXPECT_FALSE(VelEvents::EventArgument(&params, 0, VT_DISPATCH, value));
    EXPECT_FALSE(VelEvents::EventArgument(&params, 4, VT_I4, value));
    EXPECT_FALSE(VelEvents::EventArgument(nullptr, 0, VT_I4, value));
    value.Clear();
    for (VARIANT& arg : args)
        VariantClear(&arg);
    EXPECT_TRUE(journal().Unexpected().empty());
}
