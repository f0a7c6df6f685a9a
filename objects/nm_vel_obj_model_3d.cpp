#include "objects/nm_vel_obj_model_3d.h"

#include "core/com_convert.h"
#include "hostapi/dispatch_call.h"

#include <array>

namespace {

std::int64_t Address(IUnknown* object)
{
    return reinterpret_cast<std::int64_t>(object);
}

constexpr short kUserParamKind = 112;
constexpr short kValueItemKind = 108;
constexpr short kArrayKind = 23;
constexpr long kItemCount = 14;
constexpr long kFirstWideItem = 9;

DISPID TextMember(long item)
{
    return item < kFirstWideItem ? IVel5ValueItem::Text : IVel5ValueItem::WideText;
}

template <class I>
HostPtr<I> NewHostObject(IVel5Application* app5, DISPID factory, short kind)
{
    HostPtr<I> object = ObjectAs<I>(V5Method(app5, factory, kind));
    if (!object)
        RaiseNullHostPointer(__uuidof(I));
    return object;
}

} // namespace

// The three host objects of a block, the structure already given the library's header and the array.
struct NMVelObjModel3D::Template {
    IVel5UserParamPtr record;
    IVel5DynamicArrayPtr values;
    IVel5ValueItemPtr item;

    void Append(long index, const std::wstring& text)
    {
        V5Method(item, IVel5ValueItem::Init);
        V5Put(item, TextMember(index), text);
        V5Method(values, IVel5DynamicArray::Append, item, -1L);
    }
};

NMVelObjModel3D::NMVelObjModel3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, IVel5Part* part,
                                 bool isSpecActive)
    : NMVelObj3D(app5, app7, client, isSpecActive), iPrt5(part)
{
    TraceScope scope(L":NMVelObjModel3D");
    if (iPrt5) {
        iPrt7 = ObjectAs<IVel7Part>(V5Method(iApp5, IVel5Application::ToLayer, iPrt5, static_cast<long>(VelLayer7),
                                             static_cast<long>(VelTypeNone)));
        state = StateEdit;
        Load();
    }
    scope.Hex(L"iPrt5", Address(iPrt5));
    scope.Hex(L"iPrt7", Address(iPrt7));
    scope.Value(L"state", _variant_t(static_cast<unsigned long>(state)));
    scope.Value(L"IsNMObject", IsNMObject);
}

NMVelObjModel3D::~NMVelObjModel3D()
{
    try {
        TraceScope scope(L"~NMVelObjModel3D");
    } catch (...) {
        // The trace is all a destructor writes; the members release themselves.
    }
}

NMVelObjModel3D::Template NMVelObjModel3D::MakeTemplate()
{
    Template block;
    block.record = NewHostObject<IVel5UserParam>(iApp5, IVel5Application::NewStructure, kUserParamKind);
    block.values = NewHostObject<IVel5DynamicArray>(iApp5, IVel5Application::NewArray, kArrayKind);
    block.item = NewHostObject<IVel5ValueItem>(iApp5, IVel5Application::NewStructure, kValueItemKind);
    V5Method(block.record, IVel5UserParam::Init);
    V5Put(block.record, IVel5UserParam::LibFileName, NM_LibFileName);
    V5Put(block.record, IVel5UserParam::LibName, NM_LibName);
    V5Put(block.record, IVel5UserParam::Flag, 1L);
    V5Method(block.record, IVel5UserParam::SetValues, block.values);
    return block;
}

void NMVelObjModel3D::Save()
{
    TraceScope scope(L"NMVelObjModel3D::Save");
    Template block = MakeTemplate();
    scope.String(L"NM_LibFileName", NM_LibFileName);
    scope.String(L"NM_LibName", NM_LibName);
    scope.String(L"NM_ID", NM_ID);
    scope.String(L"NM_Name", NM_Name);
    scope.String(L"NM_QuarvendID", NM_QuarvendID);
    scope.String(L"NM_Body", NM_Body);
    scope.String(L"NM_Type", NM_Type);
    const std::array<const std::wstring*, kItemCount> items = {
        &NM_QuarvendID, &NM_QuarvendID, &NM_QuarvendID, nullptr, &NM_ID,   &NM_Name, &NM_Body,
        &NM_Type,       &NM_QuarvendID, &NM_ID,         &NM_Name, &NM_Body, &NM_Type, &NM_QuarvendID};
    for (long i = 0; i < kItemCount; ++i)
        block.Append(i, items[static_cast<size_t>(i)] ? *items[static_cast<size_t>(i)] : std::wstring());
    if (!static_cast<bool>(V5Method(iPrt5, IVel5Part::SetUserParam, block.record)))
        throw std::wstring(L"Can't set user param");
    V5Put(iPrt5, IVel5Part::UserParamSet, true);
}

void NMVelObjModel3D::Load()
{
    TraceScope scope(L"NMVelObjModel3D::Load");
    IsNMObject = false;
    if (!iPrt5)
        return;
    Template block = MakeTemplate();
    for (long i = 0; i < kItemCount; ++i)
        block.Append(i, std::wstring());
    if (!static_cast<bool>(V5Method(iPrt5, IVel5Part::GetUserParam, block.record)))
        return;
    const std::wstring library = VariantToWString(V5Get(block.record, IVel5UserParam::LibName));
    if (library != NM_LibName) {
        scope.String(L"LibName", library);
        return;
    }
    const IVel5DynamicArrayPtr stored = ObjectAs<IVel5DynamicArray>(V5Get(block.record, IVel5UserParam::Values));
    if (!stored)
        return;
    const long count = V5Get(stored, IVel5DynamicArray::Count);
    if (count < 1)
        return;
    NM_LibName = library;
    // Blocks written before the wide items have nine: an item past the stored count is empty, and Velmar
    // is not asked for it.
    auto read = [&](long index) {
        if (index >= count)
            return std::wstring();
        V5Method(stored, IVel5DynamicArray::Item, index, block.item);
        return VariantToWString(V5Get(block.item, TextMember(index)));
    };
    const std::wstring wideId = read(kFirstWideItem);
    const long first = wideId.empty() ? 4 : kFirstWideItem;
    scope.WriteLine(wideId.empty() ? L"ANSI_data" : L"Unicode_data");
    NM_ID = read(first);
    NM_Name = read(first + 1);
    NM_Body = read(first + 2);
    NM_Type = read(first + 3);
    NM_QuarvendID = read(first + 4);
    scope.String(L"NM_ID", NM_ID);
    scope.String(L"NM_Name", NM_Name);
    scope.String(L"NM_QuarvendID", NM_QuarvendID);
    scope.String(L"NM_Body", NM_Body);
    scope.String(L"NM_Type", NM_Type);
    NM_Type = L"Стандартное изделие";
    IsNMObject = !NM_ID.empty();
}

void NMVelObjModel3D::SetFileName(const std::wstring& fileName)
{
    TraceScope scope(L"NMVelObjModel3D::SetFileName");
    scope.String(L"aFileName", fileName);
    if (!iPrt5)
        RaiseNullHostPointer(__uuidof(IVel5Part));
    V5Put(iPrt5, IVel5Part::FileName, fileName);
    V5Method(iPrt5, IVel5Part::Update);
}
