#pragma once
// The stand-in host object: one COM object with a version-5 side (a table from dispatch id to handler,
// read through IDispatch::Invoke) and any number of version-7 faces (function tables built from the
// contract's positions, sim/vtable_face.h). Every call is journaled and may be made to fail
// (sim/faults.h). A model (sim::Velmar, sim::ReferenceBook) builds its objects from these parts:
//
//   auto doc5 = velmar.NewObject("doc5");
//   doc5->Supports(__uuidof(IVel5Document3D))
//        .Property(IVel5Document3D::UndoRecording, true)
//        .Method(IVel5Document3D::SetCurrentObject, [&](sim::Args& a) { ...; return _variant_t(true); });
//   doc7->Face<IVel7Document3D>().Set<&IVel7Document3D::put_UndoContainerMode>(67);
//
// Values a model keeps for simple properties live in the object's value store, keyed by dispatch id or
// position; tests read them back (doc7->Bool(67)).
#include "hostapi/host_query.h"
#include "sim/dispatch_args.h"
#include "sim/session.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace sim {

class Object;
class VtableFace;
template <class I>
class FaceOf;

// A counted reference to a stand-in object.
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(T* object) : object_(object) { if (object_) object_->AddRef(); }
    Ref(const Ref& other) : Ref(other.object_) {}
    Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ~Ref() { if (object_) object_->Release(); }
    Ref& operator=(Ref other) noexcept
    {
        std::swap(object_, other.object_);
        return *this;
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

using ObjectRef = Ref<Object>;

// The head of every interface pointer a stand-in hands out: the function table, then the face.
struct FaceHead {
    void* const* table;
    VtableFace* face;
};

class Object {
public:
    using Handler = std::function<_variant_t(Args&)>;
    using PutHandler = std::function<void(Args&, const VARIANT&)>;

    static ObjectRef Create(Session& session, std::string name);
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    const std::string& Name() const { return name_; }
    Session* GetSession() const { return session_; }

    // The object as the host hands it out: its first version-7 face, else its dispatch face.
    IDispatch* Primary();
    IDispatchPtr Ptr() { return IDispatchPtr(Primary()); }
    template <class I>
    HostPtr<I> As()
    {
        return QueryHost<I>(Primary());
    }
    // The stand-in behind an interface pointer; null for any other object.
    static Object* From(IUnknown* object);

    // The version-5 side.
    Object& Supports(const IID& iid);
    Object& Method(DISPID id, Handler handler);                  // method or property get, any argument count
    Object& Method(DISPID id, unsigned argc, Handler handler);   // an overload by argument count
    Object& Put(DISPID id, PutHandler handler);
    Object& Property(DISPID id, const _variant_t& initial = _variant_t());   // stored, read and written
    Object& Returns(DISPID id, const _variant_t& value);         // a method answering a fixed value
    Object& ScriptName(const std::wstring& name, DISPID id);     // for GetIDsOfNames; case is ignored
    Object& AnyProperty();                                       // every other dispatch id is a stored property
    // An interface of the object that is no dispatch interface (a connection-point container): queries
    // for iid answer `face`, whose IUnknown members lead back to this object. The face stays the
    // caller's; Detach forgets it.
    Object& TearOff(const IID& iid, IUnknown* face);

    // The version-7 side: the face of interface I, made on first use.
    template <class I>
    FaceOf<I> Face();

    // Stored values, by dispatch id or position.
    _variant_t& Value(int key) { return values_[key]; }
    // A stored value the host's own put changes: inside an undo step the old value is recorded.
    void Store(int key, const _variant_t& value);
    bool Bool(int key) const;
    long Long(int key) const;
    double Double(int key) const;
    std::wstring Text(int key) const;
    bool Has(int key) const { return values_.count(key) != 0; }

    // The model is going away: calls answer CO_E_OBJNOTCONNECTED, handlers and values are dropped.
    void Detach();
    static int Live();   // stand-in objects alive in the process

    // COM, reached through the faces.
    HRESULT QueryInterface(REFIID iid, void** result);
    ULONG AddRef() { return ++references_; }
    ULONG Release();
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids);
    HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* badArgument);
    bool SupportsErrorInfo(REFIID iid) const;

    // Used by the version-7 faces.
    HRESULT RunSlot(VtableFace& face, int position, std::vector<std::string> args, const std::function<HRESULT()>& body);
    HRESULT UnexpectedSlot(VtableFace& face, int position);
    VtableFace& FaceFor(const IID& iid, const char* name);

private:
    Object(Session& session, std::string name);
    ~Object();

    struct Entry {
        DISPID id;
        bool put;
        int argc;   // -1: any count
        Handler get;
        PutHandler set;
    };
    const Entry* Find(DISPID id, bool put, unsigned argc) const;
    HRESULT DispatchFailure(HRESULT hr, EXCEPINFO* exception);

    Session* session_;
    std::string name_;
    ULONG references_ = 0;
    std::vector<std::unique_ptr<VtableFace>> faces_;   // [0] dispatch, [1] ISupportErrorInfo, then version 7
    std::vector<IID> dispatchIids_;
    std::vector<Entry> entries_;
    std::map<std::wstring, DISPID> scriptNames_;
    std::vector<std::pair<IID, IUnknown*>> tearOffs_;
    std::map<int, _variant_t> values_;
    bool anyProperty_ = false;
};

// An object as a member hands it back: its primary dispatch, or empty for none.
inline _variant_t Handed(Object* object)
{
    return object ? _variant_t(object->Primary()) : _variant_t();
}

} // namespace sim

#include "sim/vtable_face.h"

namespace sim {

template <class I>
FaceOf<I> Object::Face()
{
    return FaceOf<I>(FaceFor(__uuidof(I), typeid(I).name()));
}

} // namespace sim
