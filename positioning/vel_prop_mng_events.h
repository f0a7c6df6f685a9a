#pragma once
// The sink of the property manager's notifications and the first base of every panel. Velmar calls
// into it from inside its own processes, so nothing thrown in a handler may leave it: the first failure
// is kept, the call answers FALSE, the panel ends the process and ignores what comes after, and the
// panel's Run rethrows the failure once Velmar's process has returned.
//
// Velmar is not advised the panel itself but a small counted forwarder the panel owns one reference
// of. The forwarder passes notifications on only while the panel runs; once the panel is gone it
// answers FALSE, so a Velmar that kept it (a failed Unadvise) never reaches a destroyed panel.
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"

#include <exception>

class PanelEventForwarder;

class VelPropMngEvents : public IDispatch {
public:
    // Asks the version-7 application for its property manager and advises the forwarder on its
    // notification point; a failure raises _com_error.
    VelPropMngEvents(IVel5Application* application5, IVel7Application* application7);
    virtual ~VelPropMngEvents();
    VelPropMngEvents(const VelPropMngEvents&) = delete;
    VelPropMngEvents& operator=(const VelPropMngEvents&) = delete;

    // COM identity: IUnknown, IDispatch and the notification interface. The count only counts: the
    // panel's owner deletes it.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    // One name at a time, compared without regard to ASCII case with the twelve notifications.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    // Dispatch ids 1 to 12 with their arguments checked; the handler's answer as VT_BOOL.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* badArgument) override;

    // The notifications, arguments first first.
    virtual VARIANT_BOOL ButtonClick(long buttonId) = 0;
    virtual VARIANT_BOOL ChangeControlValue(IDispatch* control) = 0;
    virtual VARIANT_BOOL ControlCommand(IDispatch* control, long buttonId) = 0;
    virtual VARIANT_BOOL ButtonUpdate(long buttonId, VARIANT_BOOL* checked, VARIANT_BOOL* enabled) = 0;
    virtual VARIANT_BOOL ProcessActivate() = 0;
    virtual VARIANT_BOOL ProcessDeactivate() = 0;
    virtual VARIANT_BOOL CommandHelp(long commandId) = 0;
    virtual VARIANT_BOOL SelectItem(IDispatch* control, long index, VARIANT_BOOL selected) = 0;
    virtual VARIANT_BOOL CheckItem(IDispatch* control, long index, VARIANT_BOOL checked) = 0;
    virtual VARIANT_BOOL ChangeActiveTab(long tab) = 0;
    virtual VARIANT_BOOL EditFocus(IDispatch* control, VARIANT_BOOL gained) = 0;
    virtual VARIANT_BOOL UserMenuCommand(IDispatch* control, long command) = 0;

protected:
    // Runs a call that came from Velmar. After a failure, and for every call after it, the answer is
    // `refused`; the failure is traced, kept and reported to OnVelmarCallFailed.
    template <class R, class F>
    R Shielded(const wchar_t* where, R refused, F&& call) noexcept
    {
        if (failure_)
            return refused;
        try {
            return call();
        } catch (...) {
            KeepFailure(where);
            return refused;
        }
    }
    // Told of the first failure of a call from Velmar. Must not throw.
    virtual void OnVelmarCallFailed() noexcept {}
    // Rethrows the kept failure, if any, and forgets it.
    void RethrowFailure();
    bool HasFailed() const noexcept { return static_cast<bool>(failure_); }
    // Whether Velmar's notifications reach the handlers.
    void Listen(bool on) noexcept;

    IVel7PropertyManagerPtr iPropMng;

private:
    void KeepFailure(const wchar_t* where) noexcept;

    ULONG references_ = 0;
    DWORD cookie_ = 0;
    PanelEventForwarder* forwarder_ = nullptr;
    std::exception_ptr failure_;
};
