#pragma once
// The library's ears on Velmar: small dispatch sinks that Velmar calls through its connection points.
// One class serves the application's and the documents' events; a sink either answers its events itself
// or passes them to a handler (the application sink handles the events of every document it watches).
//
// Velmar calls in on its user-interface thread, between or during the library's own calls, and nothing
// thrown may go back: Invoke answers S_OK with VT_BOOL TRUE whatever a handler throws.
#include "core/com.h"

#include <map>
#include <string>

class VelEvents : public IDispatch {
public:
    // How the sink lives: a document sink goes at count 0 (Velmar may hold it past the call that removed
    // it); the application sink is the process's and its count only counts.
    enum class Lifetime { ByCount, Process };

    VelEvents(const IID& events, std::map<std::wstring, DISPID> names, Lifetime lifetime);
    // Calls no COM: a sink still connected (only at the end of the process) leaves its source alone.
    virtual ~VelEvents();
    VelEvents(const VelEvents&) = delete;
    VelEvents& operator=(const VelEvents&) = delete;

    // IUnknown, IDispatch and the event interface.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    // One name, exactly as the table has it (case counts); two or more: E_INVALIDARG.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    // The handler's OnHandlerEvent, or the sink's own OnEvent.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* badArgument) override;

    // The source's connection point of the event interface; the source is held until Unadvise (a
    // previous one is let go first). A source without a connection-point container raises E_POINTER, a
    // failing Advise its error; a source without the connection point leaves the sink unconnected. True
    // when connected.
    bool Advise(IUnknown* source);
    // Tells the source to stop and lets it go; failures are traced, never thrown.
    void Unadvise() noexcept;
    // Lets go of the source without a word to it: at the end of the process its server may be gone.
    void Forget() noexcept;

    void SetHandler(VelEvents* handler) noexcept { handler_ = handler; }
    // Borrowed; null when not connected.
    IUnknown* Source() const noexcept { return source_; }

    // The base answers neither: DISP_E_UNKNOWNINTERFACE.
    virtual HRESULT OnEvent(DISPID id, DISPPARAMS* params, VARIANT* result);
    virtual HRESULT OnHandlerEvent(VelEvents* sender, DISPID id, DISPPARAMS* params, VARIANT* result);

    // An event's argument by its position (0 is the first: DISPPARAMS list them last first), converted
    // to `type` (VT_I4 or VT_DISPATCH), a reference followed. False when it is missing or does not convert.
    static bool EventArgument(const DISPPARAMS* params, unsigned position, VARTYPE type, _variant_t& value);
    // The answer Velmar expects of every event the library handles.
    static HRESULT AnswerTrue(VARIANT* result) noexcept;

private:
    IID events_;
    std::map<std::wstring, DISPID> names_;
    Lifetime lifetime_;
    LONG references_ = 0;
    DWORD cookie_ = 0;
    VelEvents* handler_ = nullptr;
    IUnknown* source_ = nullptr;   // one reference while connected
};

// Velmar's application: "OpenDocument".
class VelAppEvents : public VelEvents {
public:
    VelAppEvents();
};

// A 3D document: "BeginProcess" and "EndProcess"; the sink lives by its count.
class VelDocEvents : public VelEvents {
public:
    VelDocEvents();
};
