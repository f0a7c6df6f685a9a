#include "core/obj_array.h"

namespace {

// Owns a safe array until it is handed to a variant.
class SafeArrayHolder {
public:
    explicit SafeArrayHolder(SAFEARRAY* array) noexcept : array_(array) {}
    ~SafeArrayHolder()
    {
        if (array_)
            SafeArrayDestroy(array_);
    }
    SafeArrayHolder(const SafeArrayHolder&) = delete;
    SafeArrayHolder& operator=(const SafeArrayHolder&) = delete;
    SAFEARRAY* get() const noexcept { return array_; }
    SAFEARRAY* release() noexcept
    {
        SAFEARRAY* array = array_;
        array_ = nullptr;
        return array;
    }

private:
    SAFEARRAY* array_;
};

void Check(HRESULT hr)
{
    if (FAILED(hr))
        _com_issue_error(hr);
}

} // namespace

ObjArray::ObjArray(const VARIANT& value)
{
    Assign(value);
}

void ObjArray::Assign(const VARIANT& value)
{
    switch (V_VT(&value)) {
    case VT_DISPATCH:
        push_back(IDispatchPtr(V_DISPATCH(&value)));
        return;
    case VT_ARRAY | VT_DISPATCH: {
        SAFEARRAY* array = V_ARRAY(&value);
        // Reading a many-dimensional array with one index would run past the index: refuse it.
        if (array && SafeArrayGetDim(array) != 1)
            _com_issue_error(E_INVALIDARG);
        LONG lower = 0, upper = -1;
        Check(SafeArrayGetLBound(array, 1, &lower));
        Check(SafeArrayGetUBound(array, 1, &upper));
        for (LONG i = lower; i <= upper; ++i) {
            IDispatch* element = nullptr;
            Check(SafeArrayGetElement(array, &i, &element));
            IDispatchPtr held(element, false);
            // A null element stays null and is never queried; through IUnknown the query is a real one.
            push_back(held ? IDispatchPtr(static_cast<IUnknown*>(held.GetInterfacePtr())) : IDispatchPtr());
        }
        return;
    }
    default:
        // VT_EMPTY and every other form add nothing.
        return;
    }
}

_variant_t ObjArray::ToVariant() const
{
    if (empty())
        return _variant_t();
    if (size() == 1)
        return _variant_t(front().GetInterfacePtr(), true);
    return ToArrayVariant();
}

_variant_t ObjArray::ToArrayVariant() const
{
    SAFEARRAYBOUND bound = {static_cast<ULONG>(size()), 0};
    SafeArrayHolder array(SafeArrayCreate(VT_DISPATCH, 1, &bound));
    if (!array.get())
        _com_issue_error(E_OUTOFMEMORY);
    LONG index = 0;
    for (const auto& entry : *this) {
        // The array takes its own reference; a null entry is stored as null.
        Check(SafeArrayPutElement(array.get(), &index, entry.GetInterfacePtr()));
        ++index;
    }
    _variant_t result;
    V_VT(&result) = VT_ARRAY | VT_DISPATCH;
    V_ARRAY(&result) = array.release();
    return result;
}

void ObjArray::Append(const ObjArray& other)
{
    insert(end(), other.begin(), other.end());
}
