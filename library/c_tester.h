#pragma once
// The test object other programs get from GetITester: it starts from a fresh document of the current
// kind and inserts a reference-book response into the active document without any user interface, by
// the silent road or the quick one, and reports with Velmar's own last error. Nothing it does throws
// back through its interface.
#include "hostapi/library_interfaces.h"
#include "hostapi/reference_book.h"
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"

class CTester final : public ITester {
public:
    // Either application may be null; the count starts at 0 (the caller takes the first reference).
    CTester(IVel5Application* application5, IVel7Application* application7);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    // The last one deletes the object and lets both applications go.
    ULONG STDMETHODCALLTYPE Release() override;

    // Closes the active document (none: nothing to do). Refused: E_FAIL with Velmar's last error text.
    HRESULT STDMETHODCALLTYPE CloseActiveDocument(BSTR* error) override;
    // A new document of the active document's kind (of `type` without one), after the active one closed.
    HRESULT STDMETHODCALLTYPE CreateNewDocument(unsigned long type, BSTR* error) override;
    HRESULT STDMETHODCALLTYPE GetApplication(IDispatch** application) override;
    // The silent insertion: the inserted part of an assembly, nothing for a drawing (placed at 0, 0).
    // Velmar's last error code and text come back; a failure gives code 999 and E_FAIL.
    HRESULT STDMETHODCALLTYPE InsertTest(INMResponse* response, IDispatch** inserted, long* code, BSTR* error) override;
    // The quick one: a component without placement or spc object; a drawing's macro only made.
    HRESULT STDMETHODCALLTYPE FastInsertTest(INMResponse* response, IDispatch** inserted, long* code, BSTR* error) override;

private:
    ~CTester() = default;
    HRESULT Insert(bool fast, INMResponse* response, IDispatch** inserted, long* code, BSTR* error) noexcept;
    void CloseActive();

    LONG references_ = 0;
    IVel5ApplicationPtr application5_;
    IVel7ApplicationPtr application7_;
};
