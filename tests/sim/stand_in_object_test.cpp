// The stand-in object: its own reading of dispatch arguments, its function tables built from the host's
// positions, its identity and its journal.
#include "hostapi/velmar.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

#include <stdexcept>

using Lines = std::vector<std::string>;

namespace {

class StandInObject : public sim::StandInTest {
protected:
    // A raw Invoke with rgvarg as given (last argument first), as a caller other than the library's helper.
    static HRESULT Invoke(IDispatch* object, DISPID id, WORD kind, std::vector<_variant_t> lastFirst, VARIANT* result = nullptr,
                          UINT* badArgument = nullptr)
    {
        DISPPARAMS params{};
        DISPID put = DISPID_PROPERTYPUT;
        params.rgvarg = lastFirst.empty() ? nullptr : static_cast<VARIANTARG*>(lastFirst.data());
        params.cArgs = static_cast<UINT>(lastFirst.size());
        if (kind == DISPATCH_PROPERTYPUT) {
            params.rgdispidNamedArgs = &put;
            params.cNamedArgs = 1;
        }
        EXCEPINFO exception{};
        UINT bad = 0;
        const HRESULT hr = object->Invoke(id, IID_NULL, 0, kind, &params, result, &exception, badArgument ? badArgument : &bad);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        return hr;
    }
};

} // namespace

TEST_F(StandInObject, ReadsTheFirstArgumentFromTheEndOfRgvarg)
{
    auto object = velmar().NewObject("object");
    std::vector<std::wstring> seen;
    object->Method(1, [&](sim::Args& args) {
        for (unsigned i = 0; i < args.Count(); ++i)
            seen.push_back(args.Text(i));
        return _variant_t();
    });
    EXPECT_EQ(Invoke(object->Ptr(), 1, DISPATCH_METHOD, {_variant_t(L"c"), _variant_t(L"b"), _variant_t(L"a")}), S_OK);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(journal().Lines(), (Lines{"object.1(\"a\",\"b\",\"c\")"}));
}

TEST_F(StandInObject, OneDispatchIdServesTwoUsesByArgumentCount)
{
    auto object = velmar().NewObject("object");
    object->Method(11, 0, [](sim::Args&) { return _variant_t(L"collection"); })
        .Method(11, 1, [](sim::Args& args) { return _variant_t(args.Int16(0) == 6 ? L"faces" : L"other"); });
    _variant_t result;
    Invoke(object->Ptr(), 11, DISPATCH_METHOD, {}, &result);
    EXPECT_EQ(_bstr_t(result), _bstr_t(L"collection"));
    Invoke(object->Ptr(), 11, DISPATCH_METHOD, {_variant_t(short{6})}, &result);
    EXPECT_EQ(_bstr_t(result), _bstr_t(L"faces"));
}

TEST_F(StandInObject, AByReferenceArgumentMustHaveTheDocumentedType)
{
    auto object = velmar().NewObject("object");
    object->Method(50, [](sim::Args& args) {
        args.SetInt32(0, 15);
        args.SetInt32(1, 0);
        return _variant_t();
    });
    long major = 0;
    short minor = 0;
    _variant_t first, second;
    V_VT(&first) = VT_I2 | VT_BYREF;
    V_I2REF(&first) = &minor;
    V_VT(&second) = VT_I4 | VT_BYREF;
    V_I4REF(&second) = &major;
    UINT bad = 99;
    // rgvarg[0] is the last argument: the 16-bit one, where the host writes a 32-bit integer.
    EXPECT_EQ(Invoke(object->Ptr(), 50, DISPATCH_METHOD, {first, second}, nullptr, &bad), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(bad, 0u);
    EXPECT_EQ(major, 15);
    EXPECT_EQ(journal().Lines(), (Lines{"object.50(&,&) -> 80020005"}));
}

TEST_F(StandInObject, ScriptsFindMembersByNameWithoutRegardToCase)
{
    auto object = velmar().NewObject("object");
    object->ScriptName(L"ActiveDocument", 3);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"activedocument"), const_cast<LPOLESTR>(L"Missing")};
    DISPID id = 0;
    EXPECT_EQ(object->Ptr()->GetIDsOfNames(IID_NULL, &names[0], 1, 0, &id), S_OK);
    EXPECT_EQ(id, 3);
    EXPECT_EQ(object->Ptr()->GetIDsOfNames(IID_NULL, &names[1], 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

TEST_F(StandInObject, PropertiesAreStoredAndPutsWithIndexArgumentsAreJournaledSo)
{
    auto object = velmar().NewObject("object");
    object->Property(6, 1.0).Put(7, [&](sim::Args& args, const VARIANT& value) {
        object->Value(700 + args.Int32(0)) = value;
    });
    _variant_t result;
    EXPECT_EQ(Invoke(object->Ptr(), 6, DISPATCH_PROPERTYPUT, {_variant_t(0.35)}), S_OK);
    EXPECT_EQ(Invoke(object->Ptr(), 6, DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_DOUBLE_EQ(static_cast<double>(result), 0.35);
    // A put's value is rgvarg[0]; its index arguments follow, last first.
    EXPECT_EQ(Invoke(object->Ptr(), 7, DISPATCH_PROPERTYPUT, {_variant_t(true), _variant_t(2L)}), S_OK);
    EXPECT_TRUE(object->Bool(702));
    EXPECT_EQ(journal().Lines(), (Lines{"object.6=0.35", "object.6", "object.7[2]=true"}));
}

TEST_F(StandInObject, AMemberTheStandInDoesNotHaveIsJournaledAsUnexpected)
{
    sim::Document& doc = velmar().OpenDocument(4);
    EXPECT_EQ(Invoke(doc.V5().Ptr(), 4711, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND);
    IDispatch* none = nullptr;
    // A position the stand-in has not implemented: E_NOTIMPL.
    EXPECT_EQ(doc.V7().As<IVel7Document3D>()->get_PatternOwner(&none), E_NOTIMPL);
    EXPECT_EQ(journal().Unexpected(), (Lines{"doc5.4711() -> 80020003 (unexpected)", "doc7#29(?) -> 80004001 (unexpected)"}));
    journal().Clear();
}

TEST_F(StandInObject, AContractPositionOtherThanTheHostsIsRefusedWhenTheStandInIsBuilt)
{
    auto object = velmar().NewObject("object");
    auto wrong = [&] { object->Face<IVel7Document>().Get<&IVel7Document::get_Kind>(12); };
    EXPECT_THROW(wrong(), std::logic_error);
}

TEST_F(StandInObject, EveryFaceHasTheObjectsOneIdentity)
{
    sim::Document& doc = velmar().OpenDocument(5);
    auto asDocument = doc.V7().As<IVel7Document>();
    auto as3D = doc.V7().As<IVel7Document3D>();
    IUnknownPtr first = QueryHost<IUnknown>(asDocument);
    IUnknownPtr second = QueryHost<IUnknown>(as3D);
    EXPECT_EQ(first.GetInterfacePtr(), second.GetInterfacePtr());
    EXPECT_EQ(sim::Object::From(as3D), &doc.V7());
    EXPECT_EQ(QueryHost<IVel7Document2D>(as3D), nullptr);
}

TEST_F(StandInObject, TheVersionSevenSideTakesStoredValuesAndJournalsInArguments)
{
    sim::Document& doc = velmar().OpenDocument(5);
    auto doc7 = doc.V7().As<IVel7Document3D>();
    EXPECT_EQ(doc7->put_UndoContainerMode(VARIANT_FALSE), S_OK);
    VARIANT_BOOL open = VARIANT_TRUE;
    EXPECT_EQ(doc7->get_UndoContainerOpen(&open), S_OK);
    EXPECT_EQ(open, VARIANT_FALSE);
    EXPECT_FALSE(doc.V7().Bool(67));
    EXPECT_EQ(journal().Lines(), (Lines{"doc7#67(0)", "doc7#70(&)"}));
}

TEST_F(StandInObject, ADetachedObjectNoLongerReachesItsModel)
{
    IDispatchPtr kept;
    {
        sim::Velmar other;
        kept = other.Application5();
    }
    EXPECT_EQ(Invoke(kept, IVel5Application::Version, DISPATCH_METHOD, {}), CO_E_OBJNOTCONNECTED);
}

TEST_F(StandInObject, ObjectsLiveAsLongAsTheyAreReferenced)
{
    const int before = sim::Object::Live();
    sim::Session session;
    IDispatchPtr held;
    {
        auto object = sim::Object::Create(session, "object");
        held = object->Ptr();
    }
    EXPECT_EQ(sim::Object::Live(), before + 1);
    held = nullptr;
    EXPECT_EQ(sim::Object::Live(), before);
}
