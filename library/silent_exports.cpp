// The exports other programs in Velmar's process call: silent insertion of a reference-book response
// into the active document, the reference book's selection for the caller's location, and the test
// object. None of them opens the error dialog: each catches everything, traces it and answers 0 or null,
// and writes its out argument on every path when it has one. The insertions open no panel and ask
// nothing, but a part placed by NMInsert3D or NMReplace2D whose spc object Velmar refuses stays, and the
// refusal is shown in a message box. NMSelectEx is the user's choice: the document's checks may ask
// their questions, and the reference book may ask for a measure or a positioning on the way. The objects
// a caller hands over are asked for the interface they must have before anything is called on them. None
// of them takes the location another program left for the next command.
#include "library/exports.h"

#include "core/trace_log.h"
#include "insert2d/nm_vel_obj_2d.h"
#include "library/c_tester.h"
#include "hostapi/provider_connection.h"
#include "hostapi/velmar_application.h"
#include "library/library_call.h"
#include "library/velmar_normset_2d.h"
#include "library/velmar_normset_3d.h"
#include "objects/part_data.h"

#include <cmath>
#include <memory>

namespace {

constexpr uint32_t kInsertCommand = 1;

std::unique_ptr<VelmarNormset> SilentController(INMClient* provider)
{
    std::unique_ptr<VelmarNormset> controller;
    VelmarNormset::CreateForActiveDocument(controller, HeldVelmar5(), HeldVelmar7(), provider, kInsertCommand,
                                           ExternalLocation::Leave);
    return controller;
}

// Hands the counted reference to the caller; a caller without an out argument takes none, so it is
// released here.
template <class T>
void Store(T** out, T* value) noexcept
{
    if (out)
        *out = value;
    else if (value)
        value->Release();
}

// A caller's point and angle as Velmar is to take them; false when one of them is not a number or is
// infinite: nothing is placed. Any finite angle is a turn: reduced modulo 360 (fmod is exact), an angle
// of many turns reaches Velmar as the turn it stands for, not as a number whose conversion to radians
// overflows.
bool CallersPlacement(double x, double y, double& angle)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(angle))
        return false;
    angle = std::fmod(angle, 360.0);
    return true;
}

int32_t Insert2D(IUnknown* callersProvider, IUnknown* callersResponse, double x, double y, double angle)
{
    if (!CallersPlacement(x, y, angle))
        return 0;
    const INMClientPtr provider = QueryHostOrNull<INMClient>(callersProvider);
    const INMResponsePtr response = QueryHostOrNull<INMResponse>(callersResponse);
    if (!provider || !response)
        return 0;
    // Inserted anew, whatever the user selected: the selection is not read.
    const auto controller = SilentController(provider);
    controller->m_iResponse = response;
    if (!dynamic_cast<VelmarNormset2D*>(controller.get()))
        return 0;
    controller->LoadResponse();
    auto* part = dynamic_cast<NMVelObj2D*>(controller->CurrentPart.get());
    if (!part)
        return 0;
    part->PlaceAt(x, y, angle);
    return part->macro;
}

int32_t Replace2D(IUnknown* callersResponse, double x, double y, double angle)
{
    if (!CallersPlacement(x, y, angle))
        return 0;
    const INMResponsePtr response = QueryHostOrNull<INMResponse>(callersResponse);
    if (!response)
        return 0;
    NormsetInitOnce();
    const auto controller = SilentController(NormsetProvider());
    auto* drawing = dynamic_cast<VelmarNormset2D*>(controller.get());
    if (!drawing)
        return 0;
    // Only the text is read: the response does not become the controller's.
    drawing->ResponseDoc = ParseAnswer(ResponseXml(response));
    return drawing->ReplacePartSilent(x, y, angle);
}

// The 3D controller for the caller's provider and response; null when the document gives none.
std::unique_ptr<VelmarNormset3D> Silent3D(IUnknown* callersProvider, const INMResponsePtr& response)
{
    const INMClientPtr provider = QueryHostOrNull<INMClient>(callersProvider);
    if (!provider)
        return nullptr;
    auto controller = SilentController(provider);
    controller->m_iResponse = response;
    if (!dynamic_cast<VelmarNormset3D*>(controller.get()))
        return nullptr;
    return std::unique_ptr<VelmarNormset3D>(static_cast<VelmarNormset3D*>(controller.release()));
}

IDispatchPtr Insert3D(IUnknown* callersProvider, IUnknown* callersResponse, IDispatch* placement)
{
    const INMResponsePtr response = QueryHostOrNull<INMResponse>(callersResponse);
    if (!response)
        return nullptr;
    const auto controller = Silent3D(callersProvider, response);
    return controller ? controller->InsertPartSilent(response, QueryHostOrNull<IVel5Placement>(placement)) : nullptr;
}

IDispatchPtr InsertSpc(IUnknown* callersProvider, IUnknown* callersResponse, const wchar_t* presetText)
{
    // The response is an object's data: its own interface is the spc insertion's to ask for.
    if (!callersResponse)
        return nullptr;
    const auto controller = Silent3D(callersProvider, QueryHostOrNull<INMResponse>(callersResponse));
    if (!controller)
        return nullptr;
    const IUnknownPtr created = controller->SilentInsertSpec(callersResponse, presetText ? presetText : L"");
    return QueryHostOrNull<IDispatch>(created);
}

void SelectEx(IDispatch** out, const wchar_t* location)
{
    TraceScope scope(L"NMSelectEx");
    NormsetInitOnce();
    const auto controller = SilentController(NormsetProvider());
    controller->CheckDocumentValidForInsert();
    controller->PrepareExt(location ? location : L"");
    if (!controller->SelectPart())
        return;
    IDispatchPtr response = QueryHostOrNull<IDispatch>(controller->m_iResponse);
    Store(out, response.Detach());
}

} // namespace

extern "C" int WINAPI NMInsert2D(IUnknown* provider, IUnknown* response, double x, double y, double angle) noexcept
{
    const LibraryCallScope running;
    try {
        return Insert2D(provider, response, x, y, angle);
    } catch (...) {
        TraceCurrentException(L"NMInsert2D");
        return 0;
    }
}

extern "C" void WINAPI NMInsert3D(IDispatch** result, IUnknown* provider, IUnknown* response, IDispatch* placement) noexcept
{
    const LibraryCallScope running;
    Store(result, static_cast<IDispatch*>(nullptr));
    try {
        Store(result, Insert3D(provider, response, placement).Detach());
    } catch (...) {
        TraceCurrentException(L"NMInsert3D");
    }
}

extern "C" void WINAPI GetITester(ITester** out) noexcept
{
    Store(out, static_cast<ITester*>(nullptr));
    try {
        NormsetInitOnce();
        auto* tester = new CTester(HeldVelmar5(), HeldVelmar7());
        tester->AddRef();
        Store(out, static_cast<ITester*>(tester));
    } catch (...) {
        TraceCurrentException(L"GetITester");
    }
}

extern "C" void WINAPI NMSelectEx(IDispatch** response, const wchar_t* location) noexcept
{
    const LibraryCallScope running;
    try {
        SelectEx(response, location);
    } catch (...) {
        TraceCurrentException(L"NMSelectEx");
        Store(response, static_cast<IDispatch*>(nullptr));
    }
}

extern "C" int WINAPI NMReplace2D(IUnknown* response, double x, double y, double angle) noexcept
{
    const LibraryCallScope running;
    try {
        return Replace2D(response, x, y, angle);
    } catch (...) {
        TraceCurrentException(L"NMReplace2D");
        return 0;
    }
}

extern "C" void WINAPI NMInsertSpc(IDispatch** result, IUnknown* provider, IUnknown* response, const wchar_t* presetText) noexcept
{
    const LibraryCallScope running;
    Store(result, static_cast<IDispatch*>(nullptr));
    try {
        Store(result, InsertSpc(provider, response, presetText).Detach());
    } catch (...) {
        TraceCurrentException(L"NMInsertSpc");
    }
}
