#pragma once
// A small automation object for the script tests: it counts its references and records the calls a
// script makes ("Record a, b, ..." appends the arguments as texts; "Value" is a read-write property).
#include "core/com.h"

#include <string>
#include <vector>

namespace testsupport {

class TestDispatch : public IDispatch {
public:
    enum : DISPID { RecordId = 1, ValueId = 2 };

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references_); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references_); } // lives on the test's stack

    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        HRESULT result = S_OK;
        for (UINT i = 0; i < count; ++i) {
            if (_wcsicmp(names[i], L"Record") == 0)
                ids[i] = RecordId;
            else if (_wcsicmp(names[i], L"Value") == 0)
                ids[i] = ValueId;
            else {
                ids[i] = DISPID_UNKNOWN;
                result = DISP_E_UNKNOWNNAME;
            }
        }
        return result;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        if (id == RecordId && (flags & DISPATCH_METHOD)) {
            std::vector<std::wstring> arguments;
            // Arguments arrive last first.
            for (UINT i = params->cArgs; i-- > 0;) {
                _variant_t text;
                if (FAILED(VariantChangeType(&text, &params->rgvarg[i], 0, VT_BSTR)))
                    return DISP_E_TYPEMISMATCH;
                arguments.emplace_back(text.bstrVal, SysStringLen(text.bstrVal));
            }
            calls.push_back(arguments);
            return S_OK;
        }
        if (id == ValueId && (flags & DISPATCH_PROPERTYGET) && result) {
            VariantInit(result);
            return VariantCopy(result, &value);
        }
        if (id == ValueId && (flags & DISPATCH_PROPERTYPUT) && params->cArgs == 1)
            return VariantCopy(&value, &params->rgvarg[0]);
        return DISP_E_MEMBERNOTFOUND;
    }

    long References() const noexcept { return references_; }

    std::vector<std::vector<std::wstring>> calls;
    _variant_t value;

private:
    long references_ = 1;
};

} // namespace testsupport
