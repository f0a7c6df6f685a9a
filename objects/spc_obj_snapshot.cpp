#include "objects/spc_obj_snapshot.h"

#include "core/data_convert_error.h"
#include "core/number_text.h"
#include "core/trace_log.h"
#include "hostapi/dual_interface.h"
#include "hostapi/vtable_call.h"
#include "objects/spc_column_set.h"

#include <algorithm>
#include <tuple>

namespace {

struct DefinitionEntry {
    int32_t type;
    int32_t number;
    bool is3D;
};

template <class A, class B>
bool KeyLess(const A& a, const B& b)
{
    return std::tie(a.type, a.number) < std::tie(b.type, b.number);
}

std::wstring TextOf(const _bstr_t& text)
{
    return text.length() ? std::wstring(static_cast<const wchar_t*>(text), text.length()) : std::wstring();
}

std::wstring ColumnText(IVel7SpcColumn* column)
{
    const auto text = QueryHost<IVel7SpcColumnText>(V7Get(column, &IVel7SpcColumn::get_TextObject));
    return TextOf(V7Get(text, &IVel7SpcColumnText::get_Str));
}

} // namespace

NMSpcObjSnapshot::NMSpcObjSnapshot(const SpcDocContext& context, IVel7SpcObject* oldObject, bool is3DSpec, bool readColumns)
    : OldObject(oldObject), Is3DSpec(is3DSpec)
{
    TraceScope scope(L":NMSpcObjSnapshot");
    if (!oldObject)
        return;
    SectionNum = V7Get(oldObject, &IVel7SpcObjectBase::get_Section);
    SubSectionNum = V7Get(oldObject, &IVel7SpcObjectBase::get_SubSection);
    NestedBlockNum = V7Get(oldObject, &IVel7SpcObjectBase::get_NestedBlock);
    NestedSectionNum = V7Get(oldObject, &IVel7SpcObjectBase::get_NestedSection);
    AdditionalBlockNum = V7Get(oldObject, &IVel7SpcObjectBase::get_AdditionalBlock);
    DebugInfo();
    if (readColumns && context.iSpcDscs && context.iSpcDsc && context.iSpcObjs && context.iSpcDscSub && context.iSpcDscSubA) {
        const IDispatchPtr columns = V7Get(oldObject, &IVel7SpcObjectBase::get_ColumnsA);
        SaveColumns(context.iSpcDscSubA, columns);
    }
}

NMSpcObjSnapshot::~NMSpcObjSnapshot() = default;

void NMSpcObjSnapshot::SaveColumns(IDispatch* definitions, IDispatch* columns)
{
    TraceScope scope(L"NMSpcObjSnapshot::SaveColumns");
    // Which columns belong to the 3D form matters only in a 3D specification.
    std::vector<DefinitionEntry> entries;
    if (Is3DSpec) {
        auto* defs = AsDual<IVel7SpcColumns>(definitions);
        const long count = V7Get(defs, &IVel7SpcColumns::get_Count);
        for (long i = 0; i < count; ++i) {
            IVel7SpcColumnDefinitionPtr def = QueryHostOrNull<IVel7SpcColumnDefinition>(V7Get(defs, &IVel7SpcColumns::get_Item, _variant_t(i)));
            if (!def)
                continue;
            entries.push_back({static_cast<int32_t>(V7Get(def, &IVel7SpcColumnDefinition::get_Type)),
                               static_cast<int32_t>(V7Get(def, &IVel7SpcColumnDefinition::get_Number)),
                               V7Get(def, &IVel7SpcColumnDefinition::get_Is3D) != VARIANT_FALSE});
        }
        std::stable_sort(entries.begin(), entries.end(), KeyLess<DefinitionEntry, DefinitionEntry>);
    }

    auto* collection = AsDual<IVel7SpcColumns>(columns);
    const long count = V7Get(collection, &IVel7SpcColumns::get_Count);
    for (long i = 0; i < count; ++i) {
        IVel7SpcColumnPtr column = QueryHostOrNull<IVel7SpcColumn>(V7Get(collection, &IVel7SpcColumns::get_Item, _variant_t(i)));
        if (!column)
            continue;
        const SavedColumn key{static_cast<int32_t>(V7Get(column, &IVel7SpcColumn::get_Type)),
                              static_cast<int32_t>(V7Get(column, &IVel7SpcColumn::get_Number)), {}};
        if (key.type == 5 && key.number == 1)
            continue;
        if (Is3DSpec) {
            auto found = std::lower_bound(entries.begin(), entries.end(), key, KeyLess<DefinitionEntry, SavedColumn>);
            // A column no definition describes has no 3D flag to show it belongs to the 3D form.
            if (found == entries.end() || found->type != key.type || found->number != key.number || !found->is3D)
                continue;
        }
        std::wstring text = ColumnText(column);
        if (key.type == 3 && key.number == 1) {
            HasPosition = false;
            if (!text.empty()) {
                try {
                    Position = StrToInt32(text);
                    HasPosition = true;
                } catch (const DataConvertError&) {
                    // Not a whole number: the position is not carried over.
                }
            }
            scope.Value(L"HasPosition", HasPosition);
            scope.Value(L"Position", _variant_t(static_cast<long>(Position)));
            continue;
        }
        SavedColumns.push_back({key.type, key.number, std::move(text)});
    }
    std::stable_sort(SavedColumns.begin(), SavedColumns.end(), KeyLess<SavedColumn, SavedColumn>);
    scope.Value(L"SavedColumns.size()", _variant_t(static_cast<unsigned long>(SavedColumns.size())));
}

void NMSpcObjSnapshot::RestoreColumns(IVel7SpcObject* newObject)
{
    TraceScope scope(L"NMSpcObjSnapshot::RestoreColumns");
    if (SavedColumns.empty())
        return;
    const IDispatchPtr columns = V7Get(newObject, &IVel7SpcObjectBase::get_ColumnsA);
    auto* collection = AsDual<IVel7SpcColumns>(columns);
    const long count = V7Get(collection, &IVel7SpcColumns::get_Count);
    for (long i = 0; i < count; ++i) {
        IVel7SpcColumnPtr column = QueryHostOrNull<IVel7SpcColumn>(V7Get(collection, &IVel7SpcColumns::get_Item, _variant_t(i)));
        if (!column)
            continue;
        const SavedColumn key{static_cast<int32_t>(V7Get(column, &IVel7SpcColumn::get_Type)),
                              static_cast<int32_t>(V7Get(column, &IVel7SpcColumn::get_Number)), {}};
        auto found = std::lower_bound(SavedColumns.begin(), SavedColumns.end(), key, KeyLess<SavedColumn, SavedColumn>);
        if (found != SavedColumns.end() && found->type == key.type && found->number == key.number)
            SpcColumnSetString(column, found->text, true);
    }
}
