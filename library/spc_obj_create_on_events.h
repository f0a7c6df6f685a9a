#pragma once
// The process's one application sink: it watches Velmar's application, attaches a document sink to
// every document Velmar reports as opened (event type 6), and when such a document begins Velmar's
// process 20183 or ends 20181 it gives the library parts of the active document their missing spc
// objects, as command 4 does, but without asking, showing or reporting anything: it all happens inside
// Velmar's own process. Everything is traced.
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"
#include "library/vel_events.h"

#include <vector>

class VelmarSpcObjCreateOnEvents : public VelAppEvents {
public:
    // Installs the connection LibInterfaceNotifyEntry makes and the module's shut-down step.
    VelmarSpcObjCreateOnEvents();
    // Calls no COM: at a real unload the module's shut-down has disconnected everything already.
    ~VelmarSpcObjCreateOnEvents() override;

    // Advises on the version-5 application and keeps its version-7 application (dispatch id 103; one
    // of another kind is tolerated). Failures raise _com_error.
    void Connect(IVel5Application* application5);
    // A document of event type 6 gets a document sink, when it offers the document events.
    void AttachDocument(IDispatch* document, long type);
    // The sink leaves the list: unadvised and let go (it goes when Velmar lets go too).
    void DetachDocument(VelEvents* sink);
    // The spc objects of the active document, quietly; every failure is traced and swallowed.
    void CreateSpcObjects() noexcept;

    // The application's events (1, 3): the answer is always TRUE.
    HRESULT OnEvent(DISPID id, DISPPARAMS* params, VARIANT* result) override;
    // A watched document's events (2, 11, 12): the answer is always TRUE.
    HRESULT OnHandlerEvent(VelEvents* sender, DISPID id, DISPPARAMS* params, VARIANT* result) override;

    // A real unload: every document sink, then the application's connection and its version-7 object,
    // each step on its own.
    void Disconnect() noexcept;
    // The end of the process: everything is forgotten without a call.
    void ForgetAll() noexcept;

    size_t DocumentSinks() const noexcept { return documents_.size(); }

private:
    std::vector<VelDocEvents*> documents_;   // one reference each, in the order of attachment
    IVel7Application* application7_ = nullptr;   // one reference while connected
};

// The process's application sink.
VelmarSpcObjCreateOnEvents& ApplicationEventSink() noexcept;
