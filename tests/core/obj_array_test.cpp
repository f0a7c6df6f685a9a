#include "core/obj_array.h"
#include "support/inert_dispatch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A host object that counts its references and the queries made of it, and can refuse to be one.
class TestObject : public testsupport::InertDispatch {
public:
    explicit TestObject(HRESULT dispatchQuery = S_OK) : dispatchQuery_(dispatchQuery) {}

    ULONG refs = 1;
    int dispatchQueries = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (iid == IID_IDispatch) {
            ++dispatchQueries;
            if (FAILED(dispatchQuery_))
                return dispatchQuery_;
        } else if (iid != IID_IUnknown) {
            return E_NOINTERFACE;
        }
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }

private:
    HRESULT dispatchQuery_;
};

IDispatchPtr Ptr(TestObject& object)
{
    return IDispatchPtr(static_cast<IDispatch*>(&object));
}

// A VT_ARRAY|VT_DISPATCH variant of the given elements with the given lower bound.
_variant_t DispatchArray(const std::vector<IDispatch*>& elements, LONG lower)
{
    SAFEARRAYBOUND bound = {static_cast<ULONG>(elements.size()), lower};
    SAFEARRAY* array = SafeArrayCreate(VT_DISPATCH, 1, &bound);
    EXPECT_NE(array, nullptr);
    for (size_t i = 0; i < elements.size(); ++i) {
        LONG index = lower + static_cast<LONG>(i);
        EXPECT_EQ(SafeArrayPutElement(array, &index, elements[i]), S_OK);
    }
    _variant_t result;
    V_VT(&result) = VT_ARRAY | VT_DISPATCH;
    V_ARRAY(&result) = array;
    return result;
}

IDispatch* ElementAt(const VARIANT& value, LONG index)
{
    IDispatch* element = nullptr;
    EXPECT_EQ(SafeArrayGetElement(V_ARRAY(&value), &index, &element), S_OK);
    if (element)
        element->Release();
    return element;
}

} // namespace

TEST(ObjArray, OneObjectTravelsAsAPlainDispatchVariant)
{
    TestObject object;
    ObjArray objects;
    objects.push_back(Ptr(object));
    {
        _variant_t value = objects.ToVariant();
        EXPECT_EQ(V_VT(&value), VT_DISPATCH);
        EXPECT_EQ(V_DISPATCH(&value), &object);
        EXPECT_EQ(object.refs, 3u);

        ObjArray back(value);
        ASSERT_EQ(back.size(), 1u);
        EXPECT_EQ(back[0], &object);
    }
    EXPECT_EQ(object.refs, 2u);
    EXPECT_EQ(object.dispatchQueries, 0);
}

TEST(ObjArray, NoObjectsTravelAsAnEmptyVariant)
{
    EXPECT_EQ(ObjArray().ToVariant().vt, VT_EMPTY);
    ObjArray objects;
    objects.Assign(_variant_t());
    EXPECT_TRUE(objects.empty());
}

TEST(ObjArray, TheArrayFormIsAnArrayAlsoForNoneAndOne)
{
    TestObject object;
    ObjArray objects;
    for (size_t count : {0u, 1u}) {
        _variant_t value = objects.ToArrayVariant();
        ASSERT_EQ(V_VT(&value), VT_ARRAY | VT_DISPATCH) << count;
        LONG upper = -2;
        SafeArrayGetUBound(V_ARRAY(&value), 1, &upper);
        EXPECT_EQ(upper, static_cast<LONG>(count) - 1);
        if (count == 1) {
            EXPECT_EQ(ElementAt(value, 0), &object);
        }
        objects.push_back(Ptr(object));
    }
}

TEST(ObjArray, SeveralObjectsTravelAsAZeroBasedArrayKeepingNulls)
{
    TestObject first, second;
    ObjArray objects;
    objects.push_back(Ptr(first));
    objects.push_back(IDispatchPtr());
    objects.push_back(Ptr(second));
    {
        _variant_t value = objects.ToVariant();
        ASSERT_EQ(V_VT(&value), VT_ARRAY | VT_DISPATCH);
        EXPECT_EQ(SafeArrayGetDim(V_ARRAY(&value)), 1u);
        LONG lower = -1, upper = -1;
        SafeArrayGetLBound(V_ARRAY(&value), 1, &lower);
        SafeArrayGetUBound(V_ARRAY(&value), 1, &upper);
        EXPECT_EQ(lower, 0);
        EXPECT_EQ(upper, 2);
        EXPECT_EQ(ElementAt(value, 0), &first);
        EXPECT_EQ(ElementAt(value, 1), nullptr);
        EXPECT_EQ(ElementAt(value, 2), &second);
        EXPECT_EQ(first.refs, 3u);  // the list's and the array's
    }
    EXPECT_EQ(first.refs, 2u);
    EXPECT_EQ(second.refs, 2u);
}

TEST(ObjArray, AssignAppendsEveryElementOfAOneBasedArray)
{
    TestObject a, b, c, before;
    ObjArray objects;
    objects.push_back(Ptr(before));
    {
        _variant_t value = DispatchArray({&a, &b, &c}, 1);
        objects.Assign(value);
    }
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[0], &before);
    EXPECT_EQ(objects[1], &a);
    EXPECT_EQ(objects[2], &b);
    EXPECT_EQ(objects[3], &c);
    EXPECT_EQ(a.refs, 2u);
    EXPECT_EQ(a.dispatchQueries, 1);
}

TEST(ObjArray, AssignKeepsNullElementsWithoutQueryingThem)
{
    TestObject a;
    ObjArray objects(DispatchArray({nullptr, &a, nullptr}, 0));
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0], nullptr);
    EXPECT_EQ(objects[1], &a);
    EXPECT_EQ(objects[2], nullptr);

    _variant_t nullDispatch(static_cast<IDispatch*>(nullptr));
    objects.Assign(nullDispatch);
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[3], nullptr);
}

TEST(ObjArray, AssignAddsNothingForOtherForms)
{
    TestObject a;
    SAFEARRAYBOUND bound = {1, 0};
    _variant_t variants;
    V_VT(&variants) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&variants) = SafeArrayCreate(VT_VARIANT, 1, &bound);
    LONG index = 0;
    _variant_t element(static_cast<IDispatch*>(&a));
    SafeArrayPutElement(V_ARRAY(&variants), &index, &element);

    ObjArray objects;
    objects.Assign(variants);
    objects.Assign(_variant_t(5L));
    objects.Assign(_variant_t(L"text"));
    EXPECT_TRUE(objects.empty());
}

TEST(ObjArray, AnElementThatIsNoDispatchBecomesNullAndAFailedQueryRaises)
{
    TestObject refusing(E_NOINTERFACE);
    ObjArray objects(DispatchArray({&refusing}, 0));
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0], nullptr);

    TestObject failing(E_UNEXPECTED);
    try {
        ObjArray(DispatchArray({&failing}, 0));
        FAIL() << "no exception";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), E_UNEXPECTED);
    }
    EXPECT_EQ(failing.refs, 1u);
}

TEST(ObjArray, AMalformedArrayRaisesComError)
{
    _variant_t noArray;
    V_VT(&noArray) = VT_ARRAY | VT_DISPATCH;
    V_ARRAY(&noArray) = nullptr;
    EXPECT_THROW(ObjArray{noArray}, _com_error);
    V_VT(&noArray) = VT_EMPTY;

    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    _variant_t square;
    V_VT(&square) = VT_ARRAY | VT_DISPATCH;
    V_ARRAY(&square) = SafeArrayCreate(VT_DISPATCH, 2, bounds);
    EXPECT_THROW(ObjArray{square}, _com_error);
}

TEST(ObjArray, AppendAddsTheOtherListInOrder)
{
    TestObject a, b, c;
    ObjArray first, second;
    first.push_back(Ptr(a));
    second.push_back(Ptr(b));
    second.push_back(Ptr(c));
    first.Append(second);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[1], &b);
    EXPECT_EQ(first[2], &c);
    EXPECT_EQ(b.refs, 3u);
    EXPECT_EQ(second.size(), 2u);
}
