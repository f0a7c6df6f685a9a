#include "sim/sim_object.h"

#include <algorithm>
#include <array>
#include <cwctype>

namespace sim {

namespace {

int liveObjects = 0;

// Asked of an interface pointer to learn whether a stand-in stands behind it.
constexpr GUID IID_StandInObject = {0x5d3c0f41, 0x7a2e, 0x4c8b, {0x9e, 0x61, 0x0b, 0x52, 0xd8, 0x77, 0x3a, 0x19}};

Object& OwnerOf(FaceHead* head)
{
    return head->face->owner;
}

HRESULT STDMETHODCALLTYPE FaceQueryInterface(FaceHead* head, REFIID iid, void** result)
{
    return OwnerOf(head).QueryInterface(iid, result);
}

ULONG STDMETHODCALLTYPE FaceAddRef(FaceHead* head)
{
    return OwnerOf(head).AddRef();
}

ULONG STDMETHODCALLTYPE FaceRelease(FaceHead* head)
{
    return OwnerOf(head).Release();
}

HRESULT STDMETHODCALLTYPE FaceGetTypeInfoCount(FaceHead*, UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FaceGetTypeInfo(FaceHead*, UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FaceGetIDsOfNames(FaceHead* head, REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    return OwnerOf(head).GetIDsOfNames(names, count, ids);
}

HRESULT STDMETHODCALLTYPE FaceInvoke(FaceHead* head, DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument)
{
    return OwnerOf(head).Invoke(id, flags, params, result, exception, badArgument);
}

HRESULT STDMETHODCALLTYPE FaceSupportsErrorInfo(FaceHead* head, REFIID iid)
{
    return OwnerOf(head).SupportsErrorInfo(iid) ? S_OK : S_FALSE;
}

template <int N>
HRESULT STDMETHODCALLTYPE UnexpectedThunk(FaceHead* head)
{
    // Whatever arguments the caller passed stay where the caller put them: on x64 the caller owns them.
    return OwnerOf(head).UnexpectedSlot(*head->face, N);
}

template <size_t... N>
constexpr std::array<void*, sizeof...(N)> MakeUnexpectedThunks(std::index_sequence<N...>)
{
    return {reinterpret_cast<void*>(&UnexpectedThunk<static_cast<int>(N)>)...};
}

const std::array<void*, VtableFace::kSlots>& UnexpectedThunks()
{
    static const auto thunks = MakeUnexpectedThunks(std::make_index_sequence<VtableFace::kSlots>());
    return thunks;
}

bool SameNameIgnoringCase(const std::wstring& a, const wchar_t* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return i == a.size() && !b[i];
}

} // namespace

VtableFace::VtableFace(Object& owner, const IID& iid, std::string iface, bool errorInfoFace)
    : owner(owner), iid(iid), iface(std::move(iface))
{
    head.table = table;
    head.face = this;
    const auto& unexpected = UnexpectedThunks();
    std::copy(unexpected.begin(), unexpected.end(), table);
    table[0] = reinterpret_cast<void*>(&FaceQueryInterface);
    table[1] = reinterpret_cast<void*>(&FaceAddRef);
    table[2] = reinterpret_cast<void*>(&FaceRelease);
    if (errorInfoFace) {
        table[3] = reinterpret_cast<void*>(&FaceSupportsErrorInfo);
        return;
    }
    table[3] = reinterpret_cast<void*>(&FaceGetTypeInfoCount);
    table[4] = reinterpret_cast<void*>(&FaceGetTypeInfo);
    table[5] = reinterpret_cast<void*>(&FaceGetIDsOfNames);
    table[6] = reinterpret_cast<void*>(&FaceInvoke);
}

ObjectRef Object::Create(Session& session, std::string name)
{
    return ObjectRef(new Object(session, std::move(name)));
}

Object::Object(Session& session, std::string name) : session_(&session), name_(std::move(name))
{
    ++liveObjects;
    faces_.push_back(std::make_unique<VtableFace>(*this, IID_IDispatch, "IDispatch"));
    faces_.push_back(std::make_unique<VtableFace>(*this, IID_ISupportErrorInfo, "ISupportErrorInfo", true));
}

Object::~Object()
{
    --liveObjects;
}

int Object::Live()
{
    return liveObjects;
}

ULONG Object::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

IDispatch* Object::Primary()
{
    VtableFace& face = faces_.size() > 2 ? *faces_[2] : *faces_[0];
    return reinterpret_cast<IDispatch*>(face.Pointer());
}

Object* Object::From(IUnknown* object)
{
    if (!object)
        return nullptr;
    IUnknown* marked = nullptr;
    if (FAILED(object->QueryInterface(IID_StandInObject, reinterpret_cast<void**>(&marked))) || !marked)
        return nullptr;
    Object* owner = &reinterpret_cast<FaceHead*>(marked)->face->owner;
    marked->Release();
    return owner;
}

VtableFace& Object::FaceFor(const IID& iid, const char* name)
{
    for (auto& face : faces_)
        if (IsEqualIID(face->iid, iid))
            return *face;
    faces_.push_back(std::make_unique<VtableFace>(*this, iid, name));
    return *faces_.back();
}

HRESULT Object::QueryInterface(REFIID iid, void** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (session_) {
        const HRESULT refused = session_->faults.OnQuery(name_, iid);
        if (FAILED(refused))
            return refused;
    }
    VtableFace* face = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_StandInObject))
        face = faces_[0].get();
    else if (IsEqualIID(iid, IID_IDispatch))
        // Velmar's version-7 objects are dual: their IDispatch is their first version-7 interface, so that
        // a dispatch pointer of an object without a documented IID can be called at its positions.
        face = faces_.size() > 2 ? faces_[2].get() : faces_[0].get();
    else if (std::any_of(dispatchIids_.begin(), dispatchIids_.end(), [&](const IID& own) { return IsEqualIID(own, iid); }))
        face = faces_[0].get();
    else
        for (auto& candidate : faces_)
            if (IsEqualIID(candidate->iid, iid))
                face = candidate.get();
    if (!face) {
        for (auto& [own, tearOff] : tearOffs_) {
            if (!IsEqualIID(own, iid))
                continue;
            AddRef();
            *result = tearOff;
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    AddRef();
    *result = face->Pointer();
    return S_OK;
}

bool Object::SupportsErrorInfo(REFIID iid) const
{
    if (std::any_of(dispatchIids_.begin(), dispatchIids_.end(), [&](const IID& own) { return IsEqualIID(own, iid); }))
        return true;
    for (size_t i = 2; i < faces_.size(); ++i)
        if (IsEqualIID(faces_[i]->iid, iid))
            return true;
    return false;
}

Object& Object::Supports(const IID& iid)
{
    dispatchIids_.push_back(iid);
    return *this;
}

Object& Object::Method(DISPID id, Handler handler)
{
    entries_.push_back({id, false, -1, std::move(handler), nullptr});
    return *this;
}

Object& Object::Method(DISPID id, unsigned argc, Handler handler)
{
    entries_.push_back({id, false, static_cast<int>(argc), std::move(handler), nullptr});
    return *this;
}

Object& Object::Put(DISPID id, PutHandler handler)
{
    entries_.push_back({id, true, -1, nullptr, std::move(handler)});
    return *this;
}

Object& Object::Property(DISPID id, const _variant_t& initial)
{
    values_[id] = initial;
    Method(id, [this, id](Args&) { return values_[id]; });
    return Put(id, [this, id](Args&, const VARIANT& value) { Store(id, value); });
}

void Object::Store(int key, const _variant_t& value)
{
    if (session_) {
        const auto found = values_.find(key);
        const _variant_t old = found == values_.end() ? _variant_t() : found->second;
        ObjectRef self(this);
        session_->undo.Record([self, key, old] { self->values_[key] = old; });
    }
    values_[key] = value;
}

Object& Object::Returns(DISPID id, const _variant_t& value)
{
    return Method(id, [value](Args&) { return value; });
}

Object& Object::ScriptName(const std::wstring& name, DISPID id)
{
    scriptNames_[name] = id;
    return *this;
}

Object& Object::TearOff(const IID& iid, IUnknown* face)
{
    tearOffs_.emplace_back(iid, face);
    return *this;
}

Object& Object::AnyProperty()
{
    anyProperty_ = true;
    return *this;
}

bool Object::Bool(int key) const
{
    auto found = values_.find(key);
    if (found == values_.end() || V_VT(&found->second) == VT_EMPTY)
        return false;
    _variant_t converted;
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(static_cast<const VARIANT*>(&found->second)), 0, VT_BOOL)))
        return false;
    return V_BOOL(&converted) != VARIANT_FALSE;
}

long Object::Long(int key) const
{
    auto found = values_.find(key);
    if (found == values_.end() || V_VT(&found->second) == VT_EMPTY)
        return 0;
    _variant_t converted;
    return SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(static_cast<const VARIANT*>(&found->second)), 0, VT_I4)) ? V_I4(&converted) : 0;
}

double Object::Double(int key) const
{
    auto found = values_.find(key);
    if (found == values_.end() || V_VT(&found->second) == VT_EMPTY)
        return 0;
    _variant_t converted;
    return SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(static_cast<const VARIANT*>(&found->second)), 0, VT_R8)) ? V_R8(&converted) : 0;
}

std::wstring Object::Text(int key) const
{
    auto found = values_.find(key);
    if (found == values_.end() || V_VT(&found->second) == VT_EMPTY)
        return {};
    _variant_t converted;
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(static_cast<const VARIANT*>(&found->second)), 0, VT_BSTR)) || !V_BSTR(&converted))
        return {};
    return std::wstring(V_BSTR(&converted), SysStringLen(V_BSTR(&converted)));
}

void Object::Detach()
{
    session_ = nullptr;
    // Handlers and values may hold other stand-ins: dropping them breaks the cycles of the model.
    entries_.clear();
    values_.clear();
    tearOffs_.clear();
    for (auto& face : faces_)
        for (auto& handler : face->handlers)
            handler.reset();
}

HRESULT Object::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids)
{
    if (!names || !ids)
        return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (i > 0) {
            hr = DISP_E_UNKNOWNNAME;   // named arguments are not supported
            continue;
        }
        for (const auto& [name, id] : scriptNames_)
            if (SameNameIgnoringCase(name, names[i]))
                ids[i] = id;
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

const Object::Entry* Object::Find(DISPID id, bool put, unsigned argc) const
{
    // The latest registration wins, so that a test can change what a model member answers.
    const Entry* any = nullptr;
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        if (entry->id != id || entry->put != put)
            continue;
        if (entry->argc == static_cast<int>(argc))
            return &*entry;
        if (entry->argc < 0 && !any)
            any = &*entry;
    }
    return any;
}

HRESULT Object::DispatchFailure(HRESULT hr, EXCEPINFO* exception)
{
    // Faults of the dispatch machinery itself come back as they are; a failure of the member comes back as
    // Velmar's typed dispatch reports it: DISP_E_EXCEPTION with the member's code.
    if (HRESULT_FACILITY(hr) == FACILITY_DISPATCH || !exception)
        return hr;
    *exception = EXCEPINFO{};
    exception->scode = hr;
    exception->bstrSource = SysAllocString(L"Velmar");
    exception->bstrDescription = SysAllocString(L"The host call failed.");
    return DISP_E_EXCEPTION;
}

HRESULT Object::Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* badArgument)
{
    if (!session_)
        return CO_E_OBJNOTCONNECTED;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    Args args(params, put);
    Call call;
    call.object = name_;
    call.member = static_cast<int>(id);
    call.kind = put ? CallKind::Put : (flags & DISPATCH_METHOD) ? CallKind::Method : CallKind::Get;
    for (unsigned i = 0; i < args.Count(); ++i)
        call.args.push_back(RenderVariant(args.Raw(i)));
    if (put) {
        try {
            call.value = RenderVariant(args.Value());
        } catch (const Fail&) {
            call.value.push_back('?');   // (an assignment here trips a false -Wrestrict of g++ 12)
        }
    }
    Session& session = *session_;
    const size_t index = session.journal.Add(call);
    // The journal shows the member's own result, whatever form Invoke gives it.
    auto finish = [&](HRESULT hr) {
        session.journal.At(index).result = hr;
        return SUCCEEDED(hr) ? hr : DispatchFailure(hr, exception);
    };

    const HRESULT injected = session.faults.OnCall(call.Key());
    if (FAILED(injected))
        return finish(injected);

    const Entry* entry = Find(id, put, args.Count());
    if (!entry && !anyProperty_) {
        session.journal.At(index).unexpected = true;
        return finish(DISP_E_MEMBERNOTFOUND);
    }
    try {
        _variant_t value;
        if (entry && put)
            entry->set(args, args.Value());
        else if (entry)
            value = entry->get(args);
        else if (put)
            Store(id, args.Value());
        else if (args.Count() == 0)
            value = values_[id];
        session.faults.OnCallDone(call.Key());
        if (result && !put) {
            VariantInit(result);
            *result = value.Detach();
        }
        return finish(S_OK);
    } catch (const Fail& failure) {
        if (failure.argument >= 0 && badArgument && params)
            *badArgument = params->cArgs - 1 - static_cast<UINT>(failure.argument);
        return finish(failure.hr);
    } catch (const _com_error& error) {
        return finish(error.Error());
    }
}

HRESULT Object::RunSlot(VtableFace& face, int position, std::vector<std::string> args, const std::function<HRESULT()>& body)
{
    if (!session_)
        return CO_E_OBJNOTCONNECTED;
    Session& session = *session_;
    Call call;
    call.object = name_;
    call.kind = CallKind::Slot;
    call.member = position;
    call.args = std::move(args);
    const size_t index = session.journal.Add(call);
    HRESULT hr = session.faults.OnCall(call.Key());
    if (SUCCEEDED(hr)) {
        try {
            hr = body();
            if (SUCCEEDED(hr))
                session.faults.OnCallDone(call.Key());
        } catch (const Fail& failure) {
            hr = failure.hr;
        } catch (const _com_error& error) {
            hr = error.Error();
        }
    }
    session.journal.At(index).result = hr;
    if (FAILED(hr)) {
        // As a dual interface reports a failure: error information naming the interface.
        ICreateErrorInfoPtr create;
        if (SUCCEEDED(CreateErrorInfo(&create))) {
            create->SetGUID(face.iid);
            create->SetSource(const_cast<LPOLESTR>(L"Velmar"));
            create->SetDescription(const_cast<LPOLESTR>(L"The host call failed."));
            IErrorInfoPtr info = create;
            SetErrorInfo(0, info);
        }
    }
    return hr;
}

HRESULT Object::UnexpectedSlot(VtableFace& face, int position)
{
    if (!session_)
        return CO_E_OBJNOTCONNECTED;
    Call call;
    call.object = name_;
    call.kind = CallKind::Slot;
    call.member = position;
    call.args = {"?"};   // what the caller passed is not known here
    call.result = E_NOTIMPL;
    call.unexpected = true;
    session_->journal.Add(call);
    (void)face;
    return E_NOTIMPL;
}

} // namespace sim
