// NMVelObj2D: the object on its macro, the user-data block, its spc objects and attributes.
#include "insert2d/nm_vel_obj_2d.h"

#include "core/format_string.h"
#include "core/number_text.h"
#include "core/translate.h"
#include "core/unique.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/dual_interface.h"
#include "hostapi/entity_access.h"
#include "hostapi/restore_step.h"
#include "hostapi/scope_exit.h"
#include "hostapi/vtable_call.h"
#include "insert2d/user_data_block.h"

#include <cstring>

namespace {

constexpr short kUserParamKind = 112;
constexpr short kValueItemKind = 108;
constexpr short kValueListKind = 23;
constexpr long kMacroType = 27;

std::int64_t Address(const void* object)
{
    return reinterpret_cast<std::int64_t>(object);
}

_variant_t Long(long value)
{
    return _variant_t(value);
}

// The user-parameter structure a block travels in, given the library's header.
IVel5UserParamPtr NewUserParam(IVel5Application* app5)
{
    IVel5UserParamPtr record = NewStructure<IVel5UserParam>(app5, kUserParamKind);
    V5Method(record, IVel5UserParam::Init);
    return record;
}

_variant_t ByteArray(const std::vector<std::uint8_t>& bytes)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (!array)
        throw _com_error(E_OUTOFMEMORY);
    // The variant owns the array from here on, also when the copy below fails.
    _variant_t value;
    V_VT(&value) = VT_ARRAY | VT_UI1;
    V_ARRAY(&value) = array;
    void* data = nullptr;
    const HRESULT hr = SafeArrayAccessData(array, &data);
    if (FAILED(hr))
        throw _com_error(hr);
    std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
    return value;
}

// The bytes of a one-dimensional byte array; false for any other shape.
bool BytesOf(const VARIANT& value, std::vector<std::uint8_t>& bytes)
{
    if (V_VT(&value) != (VT_ARRAY | VT_UI1) || !V_ARRAY(&value) || SafeArrayGetDim(V_ARRAY(&value)) != 1)
        return false;
    SAFEARRAY* array = V_ARRAY(&value);
    LONG lower = 0;
    LONG upper = -1;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper)))
        return false;
    bytes.assign(upper >= lower ? static_cast<std::size_t>(upper - lower) + 1 : 0, 0);
    if (bytes.empty())
        return true;
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data)))
        return false;
    std::memcpy(bytes.data(), data, bytes.size());
    SafeArrayUnaccessData(array);
    return true;
}

} // namespace

NMVelObj2D::NMVelObj2D(IVel5Application* app5, IVel7Application* app7, INMClient* client, int32_t macroReference,
                       bool isSpecActive)
    : NMVelObj(app5, app7, client, isSpecActive, false), macro(macroReference)
{
    TraceScope scope(L":NMVelObj2D");
    RequireHost(iApp7);
    iDoc5 = ObjectAs<IVel5Document2D>(V5Method(iApp5, IVel5Application::ActiveDocument2D));
    iDoc7 = QueryHostOrNull<IVel7Document2D>(V7Get(iApp7, &IVel7Application::get_ActiveDocument));
    scope.Hex(L"iDoc5", Address(iDoc5));
    scope.Hex(L"iDoc7", Address(iDoc7));
    scope.Hex(L"macro", macro);
    if (macro != 0) {
        state = StateReplace;
        Load();
    }
    scope.Value(L"state", _variant_t(static_cast<unsigned long>(state)));
    scope.Value(L"IsNMObject", IsNMObject);
}

NMVelObj2D::~NMVelObj2D()
{
    try {
        TraceScope scope(L"~NMVelObj2D");
    } catch (...) {
        // The trace is all a destructor writes; the members release themselves.
    }
}

IVel5Document2D* NMVelObj2D::Doc() const
{
    if (!iDoc5)
        RaiseNullHostPointer(__uuidof(IVel5Document2D));
    return iDoc5;
}

const std::wstring* NMVelObj2D::PartValue(const std::wstring& name) const
{
    if (!pData)
        return nullptr;
    for (const Variables* map : {&pData->Params, &pData->ObjData})
        if (map->HasValue(name))
            return &map->at(name);
    return nullptr;
}

std::wstring NMVelObj2D::RequirePartValue(const std::wstring& name) const
{
    static const Variables none;
    if (pData && pData->Params.count(name))
        return pData->Params.at(name);
    return (pData ? pData->ObjData : none).GetString(name);
}

ObjArray NMVelObj2D::DrawingObjectOf(int32_t reference) const
{
    return GetSpcObjectAt(iApp5, reference);
}

void NMVelObj2D::DeleteQuietly(int32_t reference) noexcept
{
    if (reference != 0)
        RestoreStep(L"NMVelObj2D::DeleteQuietly", [&] { V5Method(Doc(), IVel5Document2D::RemoveObject, Long(reference)); });
}

void NMVelObj2D::BindTo(NMObject* found)
{
    TraceScope scope(L"NMVelObj2D::BindTo");
    auto* other = dynamic_cast<NMVelObj2D*>(found);
    // Only a 2D library object has a macro to take over.
    if (!other)
        throw _com_error(E_INVALIDARG);
    macro = other->macro;
    Geometry.clear();
    if (other != this)
        ExSpcObjs = other->ExSpcObjs;
    scope.Hex(L"macro", macro);
    scope.Value(L"ExSpcObjs.size()", _variant_t(static_cast<unsigned long>(ExSpcObjs.size())));
}

std::unique_ptr<NMObject> NMVelObj2D::CreateOnBase()
{
    TraceScope scope(L"NMVelObj2D::CreateOnBase");
    return std::make_unique<NMVelObj2D>(iApp5, iApp7, Client(), macro, IsSpecActive);
}

void NMVelObj2D::loadPartData(const pugi::xml_node& node, XmlDocumentPtr document)
{
    TraceScope scope(L"NMVelObj2D::loadPartData");
    NMVelObj::loadPartData(node, std::move(document));
    if (const std::wstring* base = PartValue(L"BASE_DF140A40AB3446B8"))
        BaseVariant = StrToInt32(*base);
    scope.Value(L"pv", Long(BaseVariant));
}

void NMVelObj2D::Select()
{
    TraceScope scope(L"NMVelObj2D::Select");
    V5Method(Doc(), IVel5Document2D::Highlight, Long(macro), 1L);
}

void NMVelObj2D::Unselect()
{
    TraceScope scope(L"NMVelObj2D::Unselect");
    V5Method(Doc(), IVel5Document2D::Highlight, Long(macro), 0L);
}

void NMVelObj2D::Save()
{
    TraceScope scope(L"NMVelObj2D::Save");
    const PartIdentity identity{NM_LibName, NM_QuarvendID, NM_ID, NM_Name, NM_Body};
    const std::vector<std::uint8_t> bytes = EncodeUserData(identity);
    scope.Value(L"psize", _variant_t(static_cast<unsigned long>(bytes.size())));
    const _variant_t block = ByteArray(bytes);
    const IVel5UserParamPtr record = NewUserParam(iApp5);
    V5Put(record, IVel5UserParam::LibFileName, NM_LibFileName);
    V5Put(record, IVel5UserParam::LibName, NM_LibName);
    V5Put(record, IVel5UserParam::Flag, 1L);
    V5Put(record, IVel5UserParam::Block, static_cast<const VARIANT&>(block));
    const _variant_t result = V5Method(Doc(), IVel5Document2D::SetUserData, Long(macro), record, false, true, false);
    scope.Value(L"res", result);
}

void NMVelObj2D::Load()
{
    TraceScope scope(L"NMVelObj2D::Load");
    IsNMObject = false;
    const IVel5UserParamPtr record = NewUserParam(iApp5);
    if (!static_cast<long>(V5Method(Doc(), IVel5Document2D::GetUserData, Long(macro), record)))
        return;
    std::vector<std::uint8_t> bytes;
    if (!BytesOf(V5Get(record, IVel5UserParam::Block), bytes))
        return;
    scope.Value(L"psize", _variant_t(static_cast<unsigned long>(bytes.size())));
    PartIdentity identity;
    const std::size_t left = DecodeUserData(bytes, identity);
    NM_LibName = identity.libName;
    NM_QuarvendID = identity.quarvendId;
    NM_ID = identity.id;
    NM_Name = identity.name;
    NM_Body = identity.body;
    scope.String(L"NM_LibName", NM_LibName);
    scope.String(L"NM_QuarvendID", NM_QuarvendID);
    scope.String(L"NM_ID", NM_ID);
    scope.String(L"NM_Name", NM_Name);
    scope.String(L"NM_Body", NM_Body);
    scope.Value(L"psize", _variant_t(static_cast<unsigned long>(left)));
    IsNMObject = !NM_ID.empty() && left == 0;
}

SpcLineIdentity NMVelObj2D::PlacedLineIdentity(const NMVelObj2D* answered) const
{
    SpcLineIdentity identity{L"", NM_Name, L""};
    if (answered && answered->NM_ID == NM_ID && answered->HasSpcData())
        identity = answered->LineIdentityByPreset();
    // A macro written without the identifier reads it from the reference book's answer, where it has one.
    identity.member = NM_QuarvendID.empty() && answered && answered->NM_ID == NM_ID ? answered->NM_QuarvendID : NM_QuarvendID;
    return identity;
}

void NMVelObj2D::GetExistsSpcObjects(const SpcDocContext& context)
{
    TraceScope scope(L"NMVelObj2D::GetExistsSpcObjects");
    ExSpcObjs.clear();
    if (context.iSpcObjs) {
        const ObjArray geometry = DrawingObjectOf(macro);
        if (!geometry.empty())
            ExSpcObjs.Assign(V7Get(AsDual<IVel7SpcObjects>(context.iSpcObjs), &IVel7SpcObjects::ObjectsOf, geometry.ToVariant()));
    }
    scope.Value(L"ExSpcObjs.size()", _variant_t(static_cast<unsigned long>(ExSpcObjs.size())));
}

void NMVelObj2D::RestorePosition(int32_t position)
{
    TraceScope scope(L"NMVelObj2D::RestorePosition");
    scope.Value(L"position", Long(position));
    const IVel5SpecificationPtr editor = ObjectAs<IVel5Specification>(V5Method(Doc(), IVel5Document2D::SpcEditor));
    if (editor)
        V5Method(editor, IVel5Specification::SetPosition, Long(position));
}

void NMVelObj2D::CreateTechAttribute(double type, IVel5AttributeManager* manager, const TechAttrValues& values,
                                     const std::wstring& library)
{
    TraceScope scope(L"NMVelObj2D::CreateTechAttribute");
    scope.Value(L"aId", type);
    const auto newList = [&] {
        return RequireHost(ObjectAs<IVel5DynamicArray>(V5Method(iApp5, IVel5Application::NewArray, kValueListKind)));
    };
    const IVel5DynamicArrayPtr texts = newList();
    const IVel5DynamicArrayPtr flags = newList();
    const IVel5ValueItemPtr item = NewStructure<IVel5ValueItem>(iApp5, kValueItemKind);
    for (const TechAttrValue& value : values) {
        V5Method(item, IVel5ValueItem::Init);
        V5Put(item, IVel5ValueItem::WideText, value.text);
        V5Method(texts, IVel5DynamicArray::Append, item, -1L);
        V5Method(item, IVel5ValueItem::Init);
        V5Put(item, IVel5ValueItem::Flag, static_cast<short>(value.flag));
        V5Method(flags, IVel5DynamicArray::Append, item, -1L);
    }
    ObjArray arrays;
    arrays.push_back(IDispatchPtr(texts));
    arrays.push_back(IDispatchPtr(flags));
    if (!manager)
        RaiseNullHostPointer(__uuidof(IVel5AttributeManager));
    const _variant_t made =
        V5Method(manager, IVel5AttributeManager::CreateObjectAttribute, Long(macro), arrays.ToVariant(), type, library);
    scope.Value(L"res", made);
}

void NMVelObj2D::DeleteTechAttribute(double type, IVel5AttributeManager* manager)
{
    TraceScope scope(L"NMVelObj2D::DeleteTechAttribute");
    scope.Value(L"aId", type);
    if (!manager)
        RaiseNullHostPointer(__uuidof(IVel5AttributeManager));
    const IVel5IteratorPtr iterator = RequireHost(ObjectAs<IVel5Iterator>(V5Method(iApp5, IVel5Application::NewIterator)));
    const ScopeExitDispid9 close(iterator);
    if (!static_cast<bool>(V5Method(iterator, IVel5Iterator::OverAttributes, Long(macro), 0L, 0L, 0L, 0L, type)))
        return;
    for (long attribute = V5Method(iterator, IVel5Iterator::Step, L"F"); attribute != 0;
         attribute = V5Method(iterator, IVel5Iterator::Step, L"N"))
        V5Method(manager, IVel5AttributeManager::DeleteObjectAttribute, Long(macro), Long(attribute));
}

void NMVelObj2D::RequireDrawing(int32_t owner) const
{
    TraceScope scope(L"NMVelObj2D::RequireDrawing");
    scope.Hex(L"owner", owner);
    bool drawn = false;
    if (owner != 0) {
        const IVel5IteratorPtr iterator = RequireHost(ObjectAs<IVel5Iterator>(V5Method(iApp5, IVel5Application::NewIterator)));
        const ScopeExitDispid9 close(iterator);
        drawn = static_cast<bool>(V5Method(iterator, IVel5Iterator::Init, 0L, Long(owner))) &&
                static_cast<long>(V5Method(iterator, IVel5Iterator::Step, L"F")) != 0;
    }
    scope.Value(L"drawn", drawn);
    if (!drawn)
        throw _bstr_t(FormatString(Translate(L"Изделие \"%s\" ничего не нарисовало и не помещено в чертёж."),
                                   NM_Name.c_str())
                          .c_str());
}

void NMVelObj2D::CheckForTCS()
{
    TraceScope scope(L"NMVelObj2D::CheckForTCS");
    if (MacroHoldsLibraryParts())
        IsTCS = true;
    scope.Value(L"IsTCS", IsTCS);
}

bool NMVelObj2D::MacroHoldsLibraryParts() const
{
    return !LibraryPartsInMacro().empty();
}

std::vector<std::unique_ptr<NMVelObj2D>> NMVelObj2D::LibraryPartsInMacro() const
{
    std::vector<std::unique_ptr<NMVelObj2D>> parts;
    if (macro == 0)
        return parts;
    const IVel5IteratorPtr iterator = RequireHost(ObjectAs<IVel5Iterator>(V5Method(iApp5, IVel5Application::NewIterator)));
    const ScopeExitDispid9 close(iterator);
    if (!static_cast<bool>(V5Method(iterator, IVel5Iterator::Init, kMacroType, Long(macro))))
        return parts;
    for (long inner = V5Method(iterator, IVel5Iterator::Step, L"F"); inner != 0;
         inner = V5Method(iterator, IVel5Iterator::Step, L"N")) {
        auto member = std::make_unique<NMVelObj2D>(iApp5, iApp7, Client(), inner, false);
        if (member->IsNMObject)
            parts.push_back(std::move(member));
    }
    return parts;
}
