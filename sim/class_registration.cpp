#include "sim/class_registration.h"

#include <stdexcept>

namespace sim {

class ClassRegistration::Factory final : public IClassFactory {
public:
    explicit Factory(Maker maker) : maker_(std::move(maker)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override
    {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
            return E_NOINTERFACE;
        AddRef();
        *result = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override
    {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (!maker_)
            return CO_E_OBJNOTCONNECTED;
        ObjectRef object = maker_();
        ++created_;
        return object->QueryInterface(iid, result);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    void Revoke() { maker_ = nullptr; }
    int Created() const { return created_; }

private:
    ULONG references_ = 1;
    Maker maker_;
    int created_ = 0;
};

ClassRegistration::ClassRegistration(const CLSID& clsid, Maker maker) : factory_(new Factory(std::move(maker)))
{
    const HRESULT hr = CoRegisterClassObject(clsid, factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                             &cookie_);
    if (FAILED(hr)) {
        factory_->Release();
        throw std::runtime_error("CoRegisterClassObject failed (is COM initialised?)");
    }
}

ClassRegistration::~ClassRegistration()
{
    CoRevokeClassObject(cookie_);
    factory_->Revoke();   // a factory COM still holds must not reach the model any more
    factory_->Release();
}

int ClassRegistration::Created() const
{
    return factory_->Created();
}

} // namespace sim
