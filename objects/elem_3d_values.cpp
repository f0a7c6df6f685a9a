// The block of named values a constructive element or fastener set keeps on its macro element: where it
// lives, every value with its type, the writer and the two readers. The block is in the user's
// documents: names, types and defaults do not change.
#include "objects/nm_vel_obj_elem_3d.h"

#include "core/com_convert.h"
#include "core/unique.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/host_version.h"
#include "hostapi/vtable_call.h"

#include <new>

// One section's values. References travel in their version-7 form.
class NMVelObjElem3D::Block {
public:
    Block(IVel5Application* app5, IVel7NamedEntries* section) : app5_(app5), section_(section) {}

    void Write(const wchar_t* name, const _variant_t& value)
    {
        const _bstr_t key(name);
        long unused = 0;
        V7Call(section_, &IVel7NamedEntries::Set, static_cast<BSTR>(nullptr), value, static_cast<BSTR>(key), &unused);
    }
    // A missing object is written as a dispatch value holding null.
    void WriteRef(const wchar_t* name, IDispatch* object)
    {
        IVel7ObjectRefPtr stored;
        if (object)
            stored = ObjectAs<IVel7ObjectRef>(V5Method(app5_, IVel5Application::ToLayer, object,
                                                       static_cast<long>(VelLayer7), static_cast<long>(VelTypeNone)));
        Write(name, _variant_t(static_cast<IDispatch*>(stored)));
    }
    void WriteText(const wchar_t* name, const std::wstring& text) { Write(name, _variant_t(text.c_str())); }
    // A null text stays null (a _variant_t made from it would hold an empty one).
    void WriteText(const wchar_t* name, const _bstr_t& text)
    {
        _variant_t value;
        V_VT(&value) = VT_BSTR;
        V_BSTR(&value) = text.copy();
        Write(name, value);
    }

    _variant_t Read(const wchar_t* name)
    {
        UniqueVariant value;
        UniqueVariant second;
        UniqueBstr third;
        V7Call(section_, &IVel7NamedEntries::Get, _variant_t(name), value.put(), second.put(), third.put());
        _variant_t result;
        result.Attach(value.get());
        value.release();
        return result;
    }
    IDispatchPtr ReadRef(const wchar_t* name)
    {
        const _variant_t value = Read(name);
        if (V_VT(&value) != VT_DISPATCH || !V_DISPATCH(&value))
            return nullptr;
        return ObjectAs<IVel5Entity>(V5Method(app5_, IVel5Application::ToLayer, V_DISPATCH(&value),
                                              static_cast<long>(VelLayer5), static_cast<long>(VelTypeEntity)));
    }
    double ReadDouble(const wchar_t* name)
    {
        const _variant_t value = Read(name);
        return V_VT(&value) == VT_R8 ? V_R8(&value) : 0.0;
    }
    long ReadLong(const wchar_t* name, long fallback)
    {
        const _variant_t value = Read(name);
        return V_VT(&value) == VT_I4 ? V_I4(&value) : fallback;
    }
    _bstr_t ReadBstr(const wchar_t* name)
    {
        const _variant_t value = Read(name);
        return V_VT(&value) == VT_BSTR ? _bstr_t(V_BSTR(&value)) : _bstr_t();
    }
    std::wstring ReadText(const wchar_t* name) { return BstrToWString(ReadBstr(name)); }

private:
    IVel5Application* app5_;
    IVel7NamedEntries* section_;
};

IVel7DataStorePtr NMVelObjElem3D::DataStore()
{
    if (HostVersion >= kHostVersion1401) {
        const IVel7PropertyKeeperPtr keeper = QueryHostOrNull<IVel7PropertyKeeper>(iTopPart7);
        return keeper ? QueryHostOrNull<IVel7DataStore>(V7Get(keeper, &IVel7PropertyKeeper::GetDataStore, -1L)) : nullptr;
    }
    const IVel7DocumentPtr document = QueryHostOrNull<IVel7Document>(iDoc7);
    return document ? QueryHostOrNull<IVel7DataStore>(V7Get(document, &IVel7Document::get_DataStore)) : nullptr;
}

IDispatchPtr NMVelObjElem3D::ElementObject()
{
    if (!iMacroDef)
        return nullptr;
    return ObjectAs<IVel7ObjectRef>(V5Method(iApp5, IVel5Application::ToLayer, iMacroDef, static_cast<long>(VelLayer7),
                                             static_cast<long>(VelTypeNone)));
}

IVel7NamedEntriesPtr NMVelObjElem3D::FindSection()
{
    const IVel7DataStorePtr store = DataStore();
    const IDispatchPtr element = ElementObject();
    if (!store || !element)
        return nullptr;
    const IVel7StoreEntryPtr entry =
        QueryHostOrNull<IVel7StoreEntry>(V7Get(store, &IVel7DataStore::Find, _variant_t(static_cast<IDispatch*>(element))));
    if (!entry)
        return nullptr;
    return QueryHostOrNull<IVel7NamedEntries>(V7Get(entry, &IVel7StoreEntry::Find, _variant_t(NM_LibName.c_str())));
}

IVel7NamedEntriesPtr NMVelObjElem3D::CreateSection()
{
    const IVel7DataStorePtr store = DataStore();
    if (!store)
        RaiseNullHostPointer(__uuidof(IVel7DataStore));
    const IDispatchPtr element = ElementObject();
    if (!element)
        RaiseNullHostPointer(__uuidof(IVel7ObjectRef));
    const IVel7StoreEntryPtr entry =
        QueryHostOrNull<IVel7StoreEntry>(V7Get(store, &IVel7DataStore::Add, static_cast<IDispatch*>(element)));
    if (!entry)
        RaiseNullHostPointer(__uuidof(IVel7StoreEntry));
    const _bstr_t name(NM_LibName.c_str());
    const IVel7NamedEntriesPtr section =
        QueryHostOrNull<IVel7NamedEntries>(V7Get(entry, &IVel7StoreEntry::Add, static_cast<BSTR>(name)));
    if (!section)
        RaiseNullHostPointer(__uuidof(IVel7NamedEntries));
    return section;
}

void NMVelObjElem3D::WriteLibraryMark()
{
    if (!iApp5)
        RaiseNullHostPointer(__uuidof(IVel5Application));
    const IVel5UserParamPtr record =
        ObjectAs<IVel5UserParam>(V5Method(iApp5, IVel5Application::NewStructure, static_cast<short>(112)));
    if (!record)
        RaiseNullHostPointer(__uuidof(IVel5UserParam));
    V5Method(record, IVel5UserParam::Init);
    V5Put(record, IVel5UserParam::LibFileName, NM_LibFileName);
    V5Put(record, IVel5UserParam::LibName, NM_LibName);
    V5Put(record, IVel5UserParam::Flag, 1L);
    V5Method(iMacroDef, IVel5MacroDefinition::SetUserParam, record);
}

void NMVelObjElem3D::Save()
{
    TraceScope scope(L"NMVelObjElem3D::Save");
    if (!elem_pos)
        throw _com_error(E_POINTER);
    WriteLibraryMark();
    elem_pos->DebugInfo();
    Block block(iApp5, CreateSection());
    const ElemPos& item = elem_pos->CurrentItem();
    block.WriteRef(L"Start", elem_pos->iStartPlane);
    block.WriteRef(L"End", elem_pos->iEndPlane);
    block.WriteRef(L"PlaneR", item.iCylFace);
    block.WriteRef(L"Edge1", item.iEdge1);
    block.WriteRef(L"Edge2", item.iEdge2);
    block.WriteRef(L"EdgeR", item.iCylEdge);
    block.WriteRef(L"Vertex", item.iVertex);
    block.WriteRef(L"DirObj", item.iDirObj);
    block.Write(L"X", item.X);
    block.Write(L"Y", item.Y);
    block.Write(L"R", item.R);
    block.Write(L"A", item.A);
    block.WriteText(L"ElName", _bstr_t());
    block.WriteText(L"SelTypeN", item.SubMode);
    block.Write(L"Code", _variant_t(static_cast<long>(elem_pos->PosMode)));
    block.WriteText(L"Name", NM_Name);
    block.WriteText(L"UID", NM_QuarvendID);
    block.WriteText(L"NMUID", NM_ID);
    block.WriteText(L"Body", NM_Body);
    block.WriteText(L"Type", NM_Type);
    block.Write(L"IsTKR", _variant_t(IsTCS ? 1L : 0L));
    if (IsTCS) {
        block.Write(L"tkrH", elem_pos->tcsH);
        block.Write(L"tkrSL", elem_pos->tcsSL);
        block.Write(L"tkrD", elem_pos->tcsD);
        block.Write(L"tkrP", elem_pos->tcsP);
        block.Write(L"tkrA", elem_pos->tcsA);
    }
}

void NMVelObjElem3D::WritePlacementValues(const ElemPos& item)
{
    const IVel7NamedEntriesPtr section = FindSection();
    if (!section)
        RaiseNullHostPointer(__uuidof(IVel7NamedEntries));
    Block block(iApp5, section);
    block.Write(L"X", item.X);
    block.Write(L"Y", item.Y);
    block.Write(L"A", item.A);
    block.Write(L"R", item.R);
}

void NMVelObjElem3D::ReadMode(Block& block)
{
    const PositioningMode mode = block.ReadLong(L"Code", -1);
    ClearPos();
    elem_pos = NMElemPos::Create(iApp5, iApp7, mode);
    if (!elem_pos)
        throw std::bad_alloc();
}

void NMVelObjElem3D::ReadIdentity(Block& block)
{
    NM_Name = block.ReadText(L"Name");
    NM_QuarvendID = block.ReadText(L"UID");
    NM_ID = block.ReadText(L"NMUID");
    NM_Body = block.ReadText(L"Body");
    NM_Type = block.ReadText(L"Type");
}

void NMVelObjElem3D::SetFlags()
{
    IsNMObject = !NM_ID.empty() && elem_pos->PosMode != -1;
    if (IsNMObject) {
        IsElement = !IsTCS;
    } else {
        IsTCS = false;
        IsElement = false;
    }
}

void NMVelObjElem3D::Load()
{
    TraceScope scope(L"NMVelObjElem3D::Load");
    IsNMObject = false;
    const IVel7NamedEntriesPtr section = FindSection();
    if (!section) {
        scope.WriteLine(L"No block");
        return;
    }
    Block block(iApp5, section);
    ReadMode(block);
    ElemPos& item = elem_pos->CurrentItem();
    elem_pos->iStartPlane = block.ReadRef(L"Start");
    elem_pos->iEndPlane = block.ReadRef(L"End");
    item.iCylFace = block.ReadRef(L"PlaneR");
    item.iEdge1 = block.ReadRef(L"Edge1");
    item.iEdge2 = block.ReadRef(L"Edge2");
    item.iCylEdge = block.ReadRef(L"EdgeR");
    item.iVertex = block.ReadRef(L"Vertex");
    item.iDirObj = block.ReadRef(L"DirObj");
    item.SubMode = block.ReadBstr(L"SelTypeN");
    item.X = block.ReadDouble(L"X");
    item.Y = block.ReadDouble(L"Y");
    item.R = block.ReadDouble(L"R");
    item.A = block.ReadDouble(L"A");
    ReadIdentity(block);
    IsTCS = block.ReadLong(L"IsTKR", 0) == 1;
    if (IsTCS) {
        elem_pos->tcsH = block.ReadDouble(L"tkrH");
        elem_pos->tcsSL = block.ReadDouble(L"tkrSL");
        elem_pos->tcsD = block.ReadDouble(L"tkrD");
        elem_pos->tcsP = block.ReadDouble(L"tkrP");
        elem_pos->tcsA = block.ReadDouble(L"tkrA");
    }
    SetFlags();
}

void NMVelObjElem3D::FastLoad()
{
    TraceScope scope(L"NMVelObjElem3D::FastLoad");
    IsNMObject = false;
    const IVel7NamedEntriesPtr section = FindSection();
    if (!section) {
        scope.WriteLine(L"No block");
        return;
    }
    Block block(iApp5, section);
    ReadMode(block);
    elem_pos->CurrentItem().SubMode = block.ReadBstr(L"SelTypeN");
    ReadIdentity(block);
    IsTCS = block.ReadLong(L"IsTKR", 0) == 1;
    SetFlags();
    scope.Value(L"IsNMObject", IsNMObject);
}
