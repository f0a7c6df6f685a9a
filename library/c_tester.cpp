#include "library/c_tester.h"

#include "core/data_convert_error.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/tester_result.h"
#include "hostapi/vtable_call.h"
#include "insert2d/nm_vel_obj_2d.h"
#include "hostapi/provider_connection.h"
#include "library/library_call.h"
#include "library/velmar_normset_3d.h"

#include <functional>
#include <memory>

namespace {

constexpr uint32_t kInsertCommand = 1;
constexpr long kFailureCode = 999;
const wchar_t kUnknownError[] = L"Unknown error.";

void Give(BSTR* out, const _bstr_t& text) noexcept
{
    if (out)
        *out = SysAllocStringLen(text.length() ? static_cast<const wchar_t*>(text) : L"", text.length());
}

// A refusal the caller reads: the text goes to the out text and the call answers E_FAIL.
[[noreturn]] void Refuse(const _bstr_t& text)
{
    throw text;
}

_bstr_t LastErrorText(IVel7Application* application7)
{
    long code = 0;
    _bstr_t text(L"");
    TesterResultToBstr(application7, code, text);
    return text;
}

// The document calls: a refusal is E_FAIL with its text, a COM error its own code and text.
HRESULT RunDocumentCall(const wchar_t* where, BSTR* error, const std::function<void()>& call) noexcept
{
    try {
        call();
        return S_OK;
    } catch (const _bstr_t& text) {
        Give(error, text);
        return E_FAIL;
    } catch (const _com_error& failure) {
        TraceCurrentException(where);
        const _bstr_t description = failure.Description();
        Give(error, description.length() ? description : _bstr_t(failure.ErrorMessage()));
        return FAILED(failure.Error()) ? failure.Error() : E_FAIL;
    } catch (...) {
        TraceCurrentException(where);
        Give(error, kUnknownError);
        return E_FAIL;
    }
}

} // namespace

CTester::CTester(IVel5Application* application5, IVel7Application* application7)
    : application5_(application5), application7_(application7)
{
}

HRESULT STDMETHODCALLTYPE CTester::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, __uuidof(ITester)))
        return E_NOINTERFACE;
    AddRef();
    *object = static_cast<ITester*>(this);
    return S_OK;
}

ULONG STDMETHODCALLTYPE CTester::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE CTester::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

void CTester::CloseActive()
{
    if (!application7_)
        Refuse(L"No API 7 interface");
    const IDispatchPtr active = V7Get(application7_, &IVel7Application::get_ActiveDocument);
    if (!active)
        return;
    if (!V7Get(QueryHost<IVel7Document>(active), &IVel7Document::Close, 0L))
        Refuse(LastErrorText(application7_));
}

HRESULT STDMETHODCALLTYPE CTester::CloseActiveDocument(BSTR* error)
{
    if (error)
        *error = nullptr;
    return RunDocumentCall(L"CTester::CloseActiveDocument", error, [this] { CloseActive(); });
}

HRESULT STDMETHODCALLTYPE CTester::CreateNewDocument(unsigned long type, BSTR* error)
{
    if (error)
        *error = nullptr;
    return RunDocumentCall(L"CTester::CreateNewDocument", error, [this, type] {
        if (!application7_)
            Refuse(L"No API 7 interface");
        long kind = static_cast<long>(type);
        if (const IDispatchPtr active = V7Get(application7_, &IVel7Application::get_ActiveDocument))
            kind = V7Get(QueryHost<IVel7Document>(active), &IVel7Document::get_Kind);
        CloseActive();
        const auto documents = QueryHost<IVel7Documents>(V7Get(application7_, &IVel7Application::get_Documents));
        if (!documents)
            RaiseNullHostPointer(__uuidof(IVel7Documents));
        if (!V7Get(documents, &IVel7Documents::Add, kind, -1L))
            Refuse(LastErrorText(application7_));
    });
}

HRESULT STDMETHODCALLTYPE CTester::GetApplication(IDispatch** application)
{
    if (!application)
        return E_POINTER;
    *application = application5_;
    if (!*application)
        return E_NOINTERFACE;
    (*application)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTester::InsertTest(INMResponse* response, IDispatch** inserted, long* code, BSTR* error)
{
    return Insert(false, response, inserted, code, error);
}

HRESULT STDMETHODCALLTYPE CTester::FastInsertTest(INMResponse* response, IDispatch** inserted, long* code, BSTR* error)
{
    return Insert(true, response, inserted, code, error);
}

HRESULT CTester::Insert(bool fast, INMResponse* response, IDispatch** inserted, long* code, BSTR* error) noexcept
{
    if (inserted)
        *inserted = nullptr;
    if (code)
        *code = 0;
    if (error)
        *error = nullptr;
    const LibraryCallScope running;
    _bstr_t failure;
    try {
        TraceScope scope(fast ? L"CTester::FastInsertTest" : L"CTester::InsertTest");
        std::unique_ptr<VelmarNormset> controller;
        VelmarNormset::CreateForActiveDocument(controller, application5_, application7_, NormsetProvider(), kInsertCommand,
                                               ExternalLocation::Leave);
        // Inserted anew, whatever the user selected: the selection is not read.
        controller->LoadResponse(response);
        IDispatchPtr object;
        if (auto* assembly = dynamic_cast<VelmarNormset3D*>(controller.get())) {
            object = fast ? assembly->InsertPartFast(response) : assembly->InsertPartSilent(response, nullptr);
            if (!object)
                throw std::wstring(fast ? L"Part3D is not fast inserted" : L"Part3D is not inserted");
        } else {
            auto* part = dynamic_cast<NMVelObj2D*>(controller->CurrentPart.get());
            if (part && fast) {
                part->MakeUnplacedMacro();
            } else if (part) {
                part->PlaceAt(0, 0, 0);
            }
            if (!part || part->macro == 0)
                throw std::wstring(fast ? L"Part2D is not fast inserted" : L"Part2D is not inserted");
        }
        long lastCode = 0;
        _bstr_t lastText(L"");
        TesterResultToBstr(application7_, lastCode, lastText);
        if (lastCode > 0)
            V5Method(application5_, IVel5Application::Refresh);
        if (code)
            *code = lastCode;
        Give(error, lastText);
        if (inserted)
            *inserted = object.Detach();
        return S_OK;
    } catch (const std::wstring& text) {
        failure = text.c_str();
    } catch (const DataConvertError& converter) {
        failure = converter.Message().c_str();
    } catch (const _bstr_t& text) {
        failure = text;
    } catch (...) {
        TraceCurrentException(fast ? L"CTester::FastInsertTest" : L"CTester::InsertTest");
        failure = kUnknownError;
    }
    if (code)
        *code = kFailureCode;
    Give(error, failure);
    return E_FAIL;
}
