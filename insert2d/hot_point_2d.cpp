#include "insert2d/hot_point_2d.h"

#include "core/com_convert.h"
#include "core/exception_describer.h"
#include "core/files.h"
#include "core/format_string.h"
#include "core/module.h"
#include "core/string_utils.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_version.h"
#include "hostapi/host_window.h"
#include "hostapi/vtable_call.h"
#include "insert2d/nm_vel_obj_2d.h"
#include "insert2d/nm_velmar_tcs_2d.h"
#include "hostapi/provider_connection.h"
#include "hostapi/velmar_application.h"
#include "library/velmar_normset_2d.h"
#include "objects/bad_response.h"
#include "resources/resource.h"

#include <cmath>
#include <utility>

namespace {

constexpr uint32_t kInsertCommand = 1;
constexpr short kRectangleKind = 15;
constexpr long kMoveBy = 1;
constexpr long kPlaceAt = 0;
constexpr long kWarningFlags = 48;
constexpr long kTurnCursor = IDCUR_HOT_POINT_TURN;
constexpr long kAlongXCursor = IDCUR_HOT_POINT_ALONG_X;
constexpr long kAlongYCursor = IDCUR_HOT_POINT_ALONG_Y;
constexpr double kFlat = 1e-6;
// The set-up of the hot points' context: every option of a drawing.
constexpr long kHotPointOptions = 15;
const wchar_t kPlacedContext[] = L"ВЕЛМАР 2D";

_variant_t Long(long value)
{
    return _variant_t(value);
}

UniqueBstr CopyOf(BSTR text)
{
    return UniqueBstr(text ? SysAllocStringLen(text, SysStringLen(text)) : nullptr);
}

// Titles and hints come with "\n" written out where a line breaks.
std::wstring WithLineBreaks(const std::wstring& text)
{
    return ReplaceAll(text, L"\\n", L"\n");
}

IVel5Application* RequiredVelmar5()
{
    IVel5Application* application = HeldVelmar5();
    if (!application)
        RaiseNullHostPointer(__uuidof(IVel5Application));
    return application;
}

} // namespace

HotPoint2D::HotPoint2D()
{
    TraceScope scope(L":HotPoint2D");
    IVel5Application* app5 = RequiredVelmar5();
    IVel7Application* app7 = HeldVelmar7();
    // Velmar asks for hot points on its own: a location left for the next command stays for it.
    controller_ = std::make_unique<VelmarNormset2D>(app5, app7, NormsetProvider(), kInsertCommand, GetDocumentType(app7),
                                                    ExternalLocation::Leave);
    TakeSelectedMacro();
    MeasurePointOne();
}

HotPoint2D::~HotPoint2D()
{
    try {
        TraceScope scope(L"~HotPoint2D");
        controller_.reset();
    } catch (...) {
        // The controller's destructor never throws; only the trace could.
    }
}

IVel5Document2D* HotPoint2D::Doc() const
{
    if (!doc_)
        RaiseNullHostPointer(__uuidof(IVel5Document2D));
    return doc_;
}

void HotPoint2D::TakeSelectedMacro()
{
    doc_ = ObjectAs<IVel5Document2D>(V5Method(RequiredVelmar5(), IVel5Application::ActiveDocument2D));
    macro_ = V5Get(Doc(), IVel5Document2D::SelectedMacro);
}

void HotPoint2D::MeasurePointOne()
{
    TraceScope scope(L"HotPoint2D::MeasurePointOne");
    const IVel5Rect2DPtr rectangle = NewStructure<IVel5Rect2D>(RequiredVelmar5(), kRectangleKind);
    V5Method(Doc(), IVel5Document2D::BoundingRect, Long(macro_), rectangle);
    double x = 0;
    double y = 0;
    V5Method(Doc(), IVel5Document2D::MacroPlacement, Long(macro_), ByRef(x), ByRef(y), ByRef(angle_));
    const auto corner = [&](DISPID id, double base) { return static_cast<double>(V5Get(rectangle, id)) - base; };
    distance_ = HotPointOneDistance(corner(IVel5Rect2D::X1, x), corner(IVel5Rect2D::Y1, y), corner(IVel5Rect2D::X2, x),
                                    corner(IVel5Rect2D::Y2, y), angle_);
    scope.Value(L"angle", angle_);
    scope.Value(L"distance", distance_);
}

void HotPoint2D::Init()
{
    TraceScope scope(L"HotPoint2D::Init");
    TakeSelectedMacro();
    defs_ = HotPointDefs();
    INMClient* client = NormsetProvider();
    const NMVelObj2D selected(RequiredVelmar5(), HeldVelmar7(), client, macro_, false);
    if (!selected.IsNMObject || !client)
        return;
    defs_.NM_ID = selected.NM_ID;
    defs_.NM_Name = selected.NM_Name;
    std::vector<HotPointLine> lines;
    // A text that defines no line (empty, or without a line end) leaves no size to step through: the
    // response's points would do nothing when dragged.
    if (!ReadDefinitions(selected.GetPartKey(), lines) || lines.empty())
        return;

    const _bstr_t id(defs_.NM_ID.c_str());
    const _bstr_t context(kPlacedContext);
    const INMResponsePtr response = V7Get(client, &INMClient::PlacedResponse, static_cast<BSTR>(id), static_cast<BSTR>(context));
    if (!response) {
        scope.WriteLine(L"no response: no parameter points");
        return;
    }
    acceptedXml_ = UniqueBstr(ResponseXml(response).Detach());
    const std::unique_ptr<VelmarNormset> reader = ReadAccepted();
    std::vector<SpecialHotPoint> points = ReadSpecialHotPoints(*reader->ResponseDoc);
    if (!SelectCurrentRows(lines, points)) {
        scope.WriteLine(L"no current row: no parameter points");
        return;
    }
    defs_.lines = std::move(lines);
    defs_.points = std::move(points);
    scope.Value(L"points", _variant_t(static_cast<unsigned long>(defs_.points.size())));
}

bool HotPoint2D::ReadDefinitions(const std::wstring& partKey, std::vector<HotPointLine>& lines)
{
    TraceScope scope(L"HotPoint2D::ReadDefinitions");
    INMClient* client = NormsetProvider();
    try {
        InstrumentOptions options;
        options.instrument = L"Velmar";
        options.hostVersion = GetHostVersionText(RequiredVelmar5()).c_str();
        options.documentId = L"2D";
        options.containerId = L"0";
        options.extra = GetModulePath().c_str();
        options.mask = kHotPointOptions;
        // Sent past the controllers' memory of what they sent: the next command's controller sends its own.
        SetInstrumentOptions(client, options);
    } catch (const _com_error&) {
        TraceCurrentException(L"HotPoint2D::ReadDefinitions");
        return false;
    }
    scope.String(L"part_key", partKey);
    // A part without a key (a fastener set) has no sizes to step through.
    if (partKey.empty())
        return false;
    const _bstr_t key(partKey.c_str());
    const _variant_t answer = V7Get(client, &INMClient::HotPoints, static_cast<BSTR>(key));
    if (V_VT(&answer) != VT_BSTR)
        return false;
    const std::wstring text = BstrToWString(V_BSTR(&answer));
    scope.String(L"definitions", text);
    return ParseHotPointDefinitions(text, lines);
}

HRESULT STDMETHODCALLTYPE HotPoint2D::QueryInterface(REFIID iid, void** object) noexcept
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(ILibHPObject)) {
        *object = static_cast<ILibHPObject*>(this);
    } else if (iid == __uuidof(ILibHPObject1)) {
        *object = static_cast<ILibHPObject1*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE HotPoint2D::AddRef() noexcept
{
    return ++count_;
}

ULONG STDMETHODCALLTYPE HotPoint2D::Release() noexcept
{
    const ULONG left = --count_;
    if (left == 0)
        delete this;
    return left;
}

const SpecialHotPoint* HotPoint2D::ParameterPoint(long index) const
{
    if (index < 2 || static_cast<unsigned long>(index - 2) >= defs_.points.size())
        return nullptr;
    return &defs_.points[static_cast<size_t>(index - 2)];
}

long STDMETHODCALLTYPE HotPoint2D::GetPoint(LibHPPoint* point, long index) noexcept
{
    if (!point)
        return 0;
    const auto module = static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(ModuleHandle()));
    if (index == 0) {
        point->x = 0;
        point->y = 0;
        return 1;
    }
    if (index == 1) {
        point->x = distance_;
        point->y = 0;
        point->cursor = kTurnCursor;
        point->module = module;
        return 1;
    }
    const SpecialHotPoint* special = ParameterPoint(index);
    if (!special)
        return 0;
    point->x = special->X;
    point->y = special->Y;
    point->cursor = std::fabs(special->kx) < kFlat ? kAlongYCursor : kAlongXCursor;
    point->module = module;
    return 1;
}

long STDMETHODCALLTYPE HotPoint2D::GetName(const wchar_t** name, long index) noexcept
{
    if (!name)
        return 0;
    try {
        const SpecialHotPoint* special = ParameterPoint(index);
        if (index == 0)
            name_ = L"0";
        else if (index == 1)
            name_ = L"A";
        else if (special)
            name_ = WithLineBreaks(special->Title);
        else
            return 0;
        *name = name_.c_str();
        return 1;
    } catch (...) {
        TraceCurrentException(L"HotPoint2D::GetName");
        return 0;
    }
}

BSTR STDMETHODCALLTYPE HotPoint2D::GetValueText(long index) noexcept
{
    try {
        const SpecialHotPoint* special = ParameterPoint(index);
        std::wstring text;
        if (index == 0)
            text = defs_.NM_Name;
        else if (index == 1)
            text = FormatString(L"A = %.2f°", _variant_t(angle_));
        else if (special)
            text = WithLineBreaks(special->Hint);
        else
            return nullptr;
        return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    } catch (...) {
        TraceCurrentException(L"HotPoint2D::GetValueText");
        return nullptr;
    }
}

long STDMETHODCALLTYPE HotPoint2D::BeginDrag(long index) noexcept
{
    try {
        TraceScope scope(L"HotPoint2D::BeginDrag");
        scope.Value(L"index", Long(index));
        if (ParameterPoint(index)) {
            drag_ = index;
        } else if (index == 0 || index == 1) {
            V5Method(Doc(), IVel5Document2D::MacroPlacement, Long(macro_), ByRef(savedX_), ByRef(savedY_), ByRef(savedAngle_));
            drag_ = index;
        }
    } catch (...) {
        TraceCurrentException(L"HotPoint2D::BeginDrag");
    }
    return 1;
}

long STDMETHODCALLTYPE HotPoint2D::EndDrag() noexcept
{
    drag_ = -1;
    return 1;
}

long STDMETHODCALLTYPE HotPoint2D::MovePoint(const LibHPMove* point, long index) noexcept
{
    if (!point)
        return 0;
    const SpecialHotPoint* special = ParameterPoint(index);
    try {
        TraceScope scope(L"HotPoint2D::MovePoint");
        scope.Value(L"index", Long(index));
        scope.Value(L"x", point->x);
        scope.Value(L"y", point->y);
        // A point that is no number or infinite would carry the part there, or turn or size it by it:
        // the drag is refused and the part stays as it was.
        if (!std::isfinite(point->x) || !std::isfinite(point->y)) {
            scope.WriteLine(L"not a point: refused");
            return 0;
        }
        if (index == 0) {
            V5Method(Doc(), IVel5Document2D::PlaceMacro, Long(macro_), point->x, point->y, 0.0, kMoveBy);
        } else if (index == 1) {
            const IVel5Math2DPtr math = RequireHost(ObjectAs<IVel5Math2D>(V5Method(RequiredVelmar5(), IVel5Application::Math2D)));
            const double delta = V5Method(math, IVel5Math2D::DirectionAngle, 0.0, 0.0, point->x, point->y);
            angle_ += delta;
            if (angle_ >= 360.0)
                angle_ -= 360.0;
            V5Method(Doc(), IVel5Document2D::PlaceMacro, Long(macro_), 0.0, 0.0, delta, kMoveBy);
        } else if (special) {
            MoveParameterPoint(*special, point->x, point->y);
        } else {
            return 0;
        }
    } catch (...) {
        // The user dragged a size and must learn why the part did not follow; a move or turn Velmar
        // shows itself.
        if (special)
            ShowFailure(L"HotPoint2D::MovePoint");
        else
            TraceCurrentException(L"HotPoint2D::MovePoint");
    }
    return 1;
}

void HotPoint2D::MoveParameterPoint(const SpecialHotPoint& point, double x, double y)
{
    const std::vector<HotPointLine> before = defs_.lines;
    try {
        std::wstring assignment;
        if (!DragHotPoint(defs_.lines, point, x, y, assignment))
            return;
        const _bstr_t assignments(assignment.c_str());
        const _bstr_t context(kPlacedContext);
        const _bstr_t id(defs_.NM_ID.c_str());
        const _variant_t answer = V7Get(NormsetProvider(), &INMClient::DragParameters, static_cast<BSTR>(assignments),
                                        static_cast<BSTR>(context), static_cast<BSTR>(id));
        if (V_VT(&answer) != VT_BSTR || SysStringLen(V_BSTR(&answer)) == 0) {
            defs_.lines = before;
            return;
        }
        if (!asDrawn_)
            ReadPartAsDrawn();
        controller_->ClearPart();
        controller_->Prepare();
        controller_->LoadResponseXml(V_BSTR(&answer));
        auto* part = dynamic_cast<NMVelObj2D*>(controller_->CurrentPart.get());
        if (!part)
            throw BadResponse(L"No part created");
        part->RebuildMacro();
        // Only an answer the drawing shows is the newest: a failed step leaves the last good one current.
        newestXml_ = CopyOf(V_BSTR(&answer));
        defs_.NM_Name = part->NM_Name;
        defs_.points = ReadSpecialHotPoints(*controller_->ResponseDoc);
        modified_ = true;
    } catch (...) {
        // The rows stay those of the part the drawing shows.
        defs_.lines = before;
        throw;
    }
}

void HotPoint2D::ReadPartAsDrawn()
{
    TraceScope scope(L"HotPoint2D::ReadPartAsDrawn");
    // The accepted answer is the part the macro holds: its texts tell that part's line.
    const std::unique_ptr<VelmarNormset> reader = ReadAccepted();
    const auto* accepted = dynamic_cast<NMVelObj2D*>(reader->CurrentPart.get());
    if (!accepted)
        throw BadResponse(L"No part created");
    asDrawn_ = NMVelmarTCS2D::MakeUpAsDrawn(*accepted, accepted);
}

std::unique_ptr<VelmarNormset> HotPoint2D::ReadAccepted() const
{
    std::unique_ptr<VelmarNormset> reader;
    VelmarNormset::CreateForActiveDocument(reader, RequiredVelmar5(), HeldVelmar7(), NormsetProvider(), kInsertCommand,
                                           ExternalLocation::Leave);
    reader->Prepare();
    reader->LoadResponseXml(acceptedXml_.get());
    return reader;
}

long STDMETHODCALLTYPE HotPoint2D::Refresh(LONG_PTR, long commit) noexcept
{
    try {
        TraceScope scope(L"HotPoint2D::Refresh");
        scope.Value(L"drag", Long(drag_));
        scope.Value(L"commit", Long(commit));
        if (drag_ < 0)
            return 1;
        if (drag_ >= 2) {
            RefreshParameterPoint(commit != 0);
        } else if (commit == 0) {
            V5Method(Doc(), IVel5Document2D::PlaceMacro, Long(macro_), savedX_, savedY_, savedAngle_, kPlaceAt);
            // Point 1 shows the part's angle again, and the next turn starts from it.
            angle_ = savedAngle_;
        }
    } catch (...) {
        // A restore that failed leaves the dragged part in the drawing: the user is to know.
        ShowFailure(L"HotPoint2D::Refresh");
    }
    return 1;
}

void HotPoint2D::RefreshParameterPoint(bool commit)
{
    // The next drag reads the part as it stands then.
    const std::optional<SpcLineMakeUp> asDrawn = std::exchange(asDrawn_, std::nullopt);
    // Without a redraw there is nothing to accept or put back: the newest text is no part's.
    if (modified_) {
        // The drag ends here: a later release without a step must not take this drag's newest part.
        modified_ = false;
        controller_->ClearPart();
        if (commit)
            acceptedXml_ = CopyOf(newestXml_.get());
        // The controller may still hold the answer of a step that failed: the part replaced is the
        // accepted one's.
        controller_->LoadResponseXml(acceptedXml_.get());
        controller_->ReplacePartSilent(0, 0, 0, asDrawn ? &*asDrawn : nullptr);
        if (!commit) {
            // The points and the current sizes are the restored part's again, not the cancelled one's.
            defs_.NM_Name = controller_->CurrentPart->NM_Name;
            defs_.points = ReadSpecialHotPoints(*controller_->ResponseDoc);
            if (!SelectCurrentRows(defs_.lines, defs_.points))
                defs_.points.clear();
        }
    }
    MeasurePointOne();
}

void HotPoint2D::ShowFailure(const wchar_t* where) noexcept
{
    TraceCurrentException(where);
    try {
        const FailureDescription failure = DescribeCurrentException();
        HostMessageBox(HeldVelmar7(), failure.message.empty() ? failure.title : failure.message, kWarningFlags);
    } catch (...) {
        TraceCurrentException(where);
    }
}
