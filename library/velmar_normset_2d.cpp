#include "library/velmar_normset_2d.h"

#include "core/com_convert.h"
#include "core/paths.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/vtable_call.h"
#include "insert2d/nm_velmar_fragment_2d.h"
#include "insert2d/nm_velmar_script_2d.h"
#include "insert2d/nm_velmar_tcs_2d.h"
#include "objects/bad_response.h"
#include "tools/nm_measure_2d.h"

#include <cwchar>

namespace {

constexpr int32_t kSpcDocument = 3;
constexpr long kSpcMode = 2;
constexpr uint32_t kDrawingMask = 0xF;
constexpr uint32_t kSpcMask = 0x800;

std::int64_t Address(const void* object)
{
    return reinterpret_cast<std::int64_t>(object);
}

bool IsDrawing(int32_t type)
{
    return type == 1 || type == 2;
}

[[noreturn]] void Refuse(const wchar_t* text)
{
    throw _bstr_t(Translate(text).c_str());
}

} // namespace

VelmarNormset2D::VelmarNormset2D(IVel5Application* app5, IVel7Application* app7, INMClient* client, uint32_t command,
                                 int32_t docType, ExternalLocation external)
    : VelmarNormset(app5, app7, client, command, docType, external)
{
    TraceScope scope(L":VelmarNormset2D");
    iDoc5 = ObjectAs<IVel5Document2D>(V5Method(iApp5, IVel5Application::ActiveDocument2D));
    iDoc7 = QueryHostOrNull<IVel7Document2D>(V7Get(iApp7, &IVel7Application::get_ActiveDocument));
    IsSpecificationActive =
        DocType == kSpcDocument || (iDoc5 && static_cast<long>(V5Get(iDoc5, IVel5Document2D::SpcMode)) == kSpcMode);
    mask |= kDrawingMask;
    scope.Hex(L"iDoc5", Address(iDoc5));
    scope.Hex(L"iDoc7", Address(iDoc7));
    scope.Value(L"IsSpecificationActive", IsSpecificationActive);
    scope.Hex(L"mask", mask);
}

VelmarNormset2D::~VelmarNormset2D()
{
    try {
        TraceScope scope(L"~VelmarNormset2D");
    } catch (...) {
        // The trace is all a destructor writes; the members release themselves.
    }
}

void VelmarNormset2D::CreatePart(const std::wstring& methodBody)
{
    TraceScope scope(L"VelmarNormset2D::CreatePart");
    scope.String(L"nm_body", methodBody);
    if (methodBody.empty())
        CurrentPart = std::make_unique<NMVelmarTCS2D>(iApp5, iApp7, iNMClient, macro, IsSpecificationActive, &Settings);
    else if (_wcsicmp(GetFileExt(methodBody).c_str(), L".lfr") == 0)
        CurrentPart = std::make_unique<NMVelmarFragment2D>(iApp5, iApp7, iNMClient, macro, IsSpecificationActive, &Settings);
    else
        CurrentPart = std::make_unique<NMVelmarScript2D>(iApp5, iApp7, iNMClient, macro, IsSpecificationActive, &Settings);
}

void VelmarNormset2D::Prepare()
{
    TraceScope scope(L"VelmarNormset2D::Prepare");
    if (!iDoc5)
        RaiseNullHostPointer(__uuidof(IVel5Document2D));
    macro = V5Get(iDoc5, IVel5Document2D::SelectedMacro);
    scope.Hex(L"macro", macro);
    if (macro != 0) {
        const NMVelObj2D selected(iApp5, iApp7, iNMClient, macro, false);
        location = selected.NM_ID.c_str();
        state = StateReselect;
        scope.String(L"location", BstrToWString(location));
    }
    CorrectMask();
}

void VelmarNormset2D::PrepareExt(const std::wstring& text)
{
    TraceScope scope(L"VelmarNormset2D::Prepare(locationExt)");
    macro = 0;
    location = text.c_str();
    CorrectMask();
}

void VelmarNormset2D::CorrectMask()
{
    TraceScope scope(L"VelmarNormset2D::CorrectMask");
    scope.Hex(L"mask", mask);
    if (IsSpecificationActive)
        mask |= kSpcMask;
    scope.Hex(L"mask", mask);
}

bool VelmarNormset2D::Positioning()
{
    TraceScope scope(L"VelmarNormset2D::Positioning");
    return false;
}

std::wstring VelmarNormset2D::SelectParams()
{
    TraceScope scope(L"VelmarNormset2D::SelectParams");
    return VelmarNormset::SelectParams();
}

void VelmarNormset2D::CheckDocumentValidForInsert()
{
    TraceScope scope(L"VelmarNormset2D::CheckDocumentValidForInsert");
}

void VelmarNormset2D::CheckDocumentValidForFind()
{
    TraceScope scope(L"VelmarNormset2D::CheckDocumentValidForFind");
    const wchar_t* refusal = L"Активный документ не является сборкой, деталью, фрагментом или чертежом.";
    if (!IsDrawing(DocType))
        Refuse(refusal);
    if (!iDoc5)
        RaiseNullHostPointer(__uuidof(IVel5Document2D));
    if (static_cast<long>(V5Get(iDoc5, IVel5Document2D::SpcMode)) == kSpcMode)
        Refuse(refusal);
}

void VelmarNormset2D::CheckDocumentValidForCreateSpcObjs()
{
    TraceScope scope(L"VelmarNormset2D::CheckDocumentValidForCreateSpcObjs");
    if (!IsDrawing(DocType))
        Refuse(L"Активный документ не является сборкой, фрагментом, чертежом или спецификацией.");
    if (!Settings.CreateSpcObject)
        Refuse(L"При текущей настройке параметров работы со стандартными изделиями запрещено создавать объекты "
               L"спецификации.\r\nДля изменения текущей настройки вызовите из главного меню ВЕЛМАР-3D команду "
               L"\"Библиотеки - Нормсет - Настройки\".");
}

int32_t VelmarNormset2D::ReplacePartSilent(double x, double y, double angle, const SpcLineMakeUp* asDrawn)
{
    Prepare();
    loadPartData(ResponseDoc);
    auto* part = dynamic_cast<NMVelObj2D*>(CurrentPart.get());
    if (!part)
        throw BadResponse(L"No part created");
    part->NM_LibName = L"Нормсет";
    part->replacePartSilent(x, y, angle, asDrawn);
    return part->macro;
}

// The kind is the low byte of the reference book's command, as in a 3D document.
std::wstring VelmarNormset2D::Measure()
{
    TraceScope scope(L"VelmarNormset2D::Measure");
    return MeasureOnce<NMMeasure2D>(iApp5, static_cast<uint8_t>(command & 0xFF));
}
