#include "insert2d/nm_velmar_fragment_2d.h"

#include "core/com_convert.h"
#include "core/number_text.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_guards.h"
#include "hostapi/restore_step.h"
#include "hostapi/scope_exit.h"
#include "insert2d/fragment_admission.h"

namespace {

constexpr short kTemporaryDocumentKind = 3;
constexpr short kPlacementKind = 7;
constexpr short kVariableKind = 85;

std::int64_t Address(const void* object)
{
    return reinterpret_cast<std::int64_t>(object);
}

_variant_t Long(long value)
{
    return _variant_t(value);
}

// A structure of a kind queried to the interface of that kind, named by its IID.
IDispatchPtr NewStructureAs(IVel5Application* app5, short kind, const IID& iid)
{
    const IDispatchPtr made = RequireHost(ObjectAs<IDispatch>(V5Method(app5, IVel5Application::NewStructure, kind)));
    IDispatch* asked = nullptr;
    const HRESULT hr = made->QueryInterface(iid, reinterpret_cast<void**>(&asked));
    if (FAILED(hr) || !asked)
        RaiseHostError(FAILED(hr) ? hr : E_NOINTERFACE, nullptr, iid);
    return IDispatchPtr(asked, false);
}

} // namespace

NMVelmarFragment2D::NMVelmarFragment2D(IVel5Application* app5, IVel7Application* app7, INMClient* client,
                                       int32_t macroReference, bool isSpecActive, NMAllSettings* settings)
    : NMVelObj2D(app5, app7, client, macroReference, isSpecActive)
{
    TraceScope scope(L":NMVelmarFragment2D");
    Settings = settings;
}

NMVelmarFragment2D::~NMVelmarFragment2D()
{
    try {
        TraceScope scope(L"~NMVelmarFragment2D");
    } catch (...) {
        // The trace is all a destructor writes; the members release themselves.
    }
}

long NMVelmarFragment2D::ReadClipboardGroup()
{
    const long clipboard = V5Method(Doc(), IVel5Document2D::GroupFromClipboard);
    if (clipboard == 0)
        throw std::wstring(L"Can't read group from clip");
    return clipboard;
}

void NMVelmarFragment2D::FillNewMacro(long clipboardGroup)
{
    long filled = 0;
    try {
        filled = V5Method(Doc(), IVel5Document2D::GroupIntoMacro, Long(macro), Long(clipboardGroup));
    } catch (...) {
        DeleteQuietly(macro);
        macro = 0;
        throw;
    }
    // An empty macro is no part: it must neither stay nor be reported as inserted.
    if (filled == 0) {
        DeleteQuietly(macro);
        macro = 0;
        throw std::wstring(L"Can't create macro object");
    }
}

void NMVelmarFragment2D::CreateNewMacro()
{
    TraceScope scope(L"NMVelmarFragment2D::CreateNewMacro");
    InsertFragment();
    const long clipboard = ReadClipboardGroup();
    macro = DrawMacro([] {});
    FillNewMacro(clipboard);
    scope.Hex(L"macro", macro);
}

void NMVelmarFragment2D::CreateNewMacroInGroup()
{
    TraceScope scope(L"NMVelmarFragment2D::CreateNewMacroInGroup");
    InsertFragment();
    const long clipboard = ReadClipboardGroup();
    DrawGroup([&] {
        macro = DrawMacro([] {});
        FillNewMacro(clipboard);
    });
    scope.Hex(L"group", group);
    scope.Hex(L"macro", macro);
}

void NMVelmarFragment2D::CreateNewGroup()
{
    TraceScope scope(L"NMVelmarFragment2D::CreateNewGroup");
    InsertFragment();
    group = ReadClipboardGroup();
    scope.Hex(L"group", group);
}

void NMVelmarFragment2D::InsertFragment()
{
    TraceScope scope(L"NMVelmarFragment2D::InsertFragment");
    const std::wstring name = RequirePartValue(L"LFR_FRAG_NAME");
    scope.String(L"frag_name", name);
    const std::wstring library = NM_Path + NM_Body + L"|" + name;
    scope.String(L"frag_filename", library);
    const FragmentInsertGuard temporary(iApp5, kTemporaryDocumentKind);
    IVel5Document2D* document = temporary.Document();
    if (!document)
        RaiseNullHostPointer(__uuidof(IVel5Document2D));
    const IVel5FragmentPtr fragments = RequireHost(ObjectAs<IVel5Fragment>(V5Method(document, IVel5Document2D::Fragments)));
    const long definition = V5Method(fragments, IVel5Fragment::Definition, library, name, 1L);
    scope.Hex(L"frag_def", definition);
    const IVel5FragmentPlacementPtr placement = NewStructure<IVel5FragmentPlacement>(iApp5, kPlacementKind);
    V5Method(placement, IVel5FragmentPlacement::Init);
    V5Put(placement, IVel5FragmentPlacement::Scale, 1.0);
    const long fragment = V5Method(fragments, IVel5Fragment::Insert, Long(definition), true, placement, false);
    scope.Hex(L"frag", fragment);
    Instantiate(fragment, document);
    V5Method(document, IVel5Document2D::SettleFragment, Long(fragment));
    CollectDrawing(document);
}

void NMVelmarFragment2D::Instantiate(long fragment, IVel5Document2D* document)
{
    TraceScope scope(L"NMVelmarFragment2D::Instantiate");
    scope.Hex(L"aFrag", fragment);
    scope.Hex(L"aDoc2D", Address(document));
    const IVel5VariablePtr variable = NewStructure<IVel5Variable>(iApp5, kVariableKind);
    scope.Hex(L"iVarPar", Address(variable));
    const IVel5DynamicArrayPtr variables =
        RequireHost(ObjectAs<IVel5DynamicArray>(V5Method(document, IVel5Document2D::DocVariables, Long(fragment))));
    scope.Hex(L"iVarArr", Address(variables));
    const long count = V5Method(variables, IVel5DynamicArray::Count);
    scope.Value(L"iVarArr->vlGetArrayCount()", Long(count));
    for (long i = 0; i < count; ++i) {
        scope.Value(L"i", Long(i));
        if (!static_cast<bool>(V5Method(variables, IVel5DynamicArray::Item, Long(i), variable)))
            continue;
        const std::wstring name = VariantToWString(V5Get(variable, IVel5Variable::Name));
        scope.String(L"var_name", name);
        const std::wstring* value = PartValue(name);
        if (!value)
            continue;
        const double number = StrToDouble(*value);
        scope.Value(L"var_value", number);
        V5Put(variable, IVel5Variable::Value, number);
        V5Method(variables, IVel5DynamicArray::SetItem, Long(i), variable);
    }
    const _variant_t applied = V5Method(document, IVel5Document2D::SetDocVariables, Long(fragment), variables, false);
    scope.Value(L"aDoc2D->vlSetDocVariableArray(aFrag, iVarArr, VARIANT_FALSE)", applied);
}

bool NMVelmarFragment2D::Admits(IVel5Document2D* document, long object, long type)
{
    const FragmentAdmission admission = FragmentAdmissionOf(type);
    switch (admission.rule) {
    case FragmentAdmission::Rule::Never:
        return false;
    case FragmentAdmission::Rule::Always:
        return true;
    case FragmentAdmission::Rule::ByStyle:
        break;
    }
    const IDispatchPtr parameters = NewStructureAs(iApp5, admission.structureKind, *admission.structureIid);
    V5Method(document, IVel5Document2D::ReadParams, Long(object), parameters, -1L);
    return AdmitsStyle(V5Get(parameters, admission.styleProperty));
}

void NMVelmarFragment2D::CollectDrawing(IVel5Document2D* document)
{
    TraceScope scope(L"NMVelmarFragment2D::CollectDrawing");
    const IVel5IteratorPtr iterator = RequireHost(ObjectAs<IVel5Iterator>(V5Method(iApp5, IVel5Application::NewIterator)));
    const ScopeExitDispid9 close(iterator);
    if (!static_cast<bool>(V5Method(iterator, IVel5Iterator::Init, 0L, 0L)))
        return;
    const long collected = V5Method(document, IVel5Document2D::BeginGroup, 1L);
    long ended = 0;
    try {
        for (long object = V5Method(iterator, IVel5Iterator::Step, L"F"); object != 0;
             object = V5Method(iterator, IVel5Iterator::Step, L"N")) {
            const long type = V5Method(document, IVel5Document2D::ReadParams, Long(object), _variant_t(), -1L);
            if (Admits(document, object, type))
                V5Method(document, IVel5Document2D::AddToGroup, Long(collected), Long(object));
        }
        ended = V5Method(document, IVel5Document2D::EndGroup);
    } catch (...) {
        // The group was begun in the temporary document and is ended there, whatever failed (an end
        // that failed is asked once more).
        RestoreStep(L"NMVelmarFragment2D::CollectDrawing", [&] { V5Method(document, IVel5Document2D::EndGroup); });
        throw;
    }
    if (!ended)
        throw std::wstring(L"Can't end group");
    V5Method(document, IVel5Document2D::GroupToClipboard, Long(collected), true);
}
