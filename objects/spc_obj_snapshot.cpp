#include "objects/spc_obj_snapshot.h"

#include "core/data_convert_error.h"
#include "core/number_text.h"
#include "core/trace_log.h"
#include "hostapi/vtable_call.h"
#include "objects/spc_column_set.h"
#include "objects/spc_columns.h"

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
    if (readColumns && context.IsMainlyValid()) {
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
        FindSpcItem<IVel7SpcColumnDefinition>(definitions, [&](IVel7SpcColumnDefinition* definition) {
            const SpcColumnKey key = DefinitionKey(definition);
            entries.push_back({key.type, key.number, V7Get(definition, &IVel7SpcColumnDefinition::get_Is3D) != VARIANT_FALSE});
            return false;
        });
        std::stable_sort(entries.begin(), entries.end(), KeyLess<DefinitionEntry, DefinitionEntry>);
    }

    FindSpcItem<IVel7SpcColumn>(columns, [&](IVel7SpcColumn* column) {
        const SpcColumnKey key = ColumnKey(column);
        if (key == SpcColumnKey{5, 1})
            return false;
        if (Is3DSpec) {
            auto found = std::lower_bound(entries.begin(), entries.end(), key, KeyLess<DefinitionEntry, SpcColumnKey>);
            // A column no definition describes has no 3D flag to show it belongs to the 3D form.
            if (found == entries.end() || found->type != key.type || found->number != key.number || !found->is3D)
                return false;
        }
        std::wstring text = ColumnText(column);
        if (key == SpcColumnKey{3, 1}) {
            TakePosition(text, scope);
            return false;
        }
        SavedColumns.push_back({key.type, key.number, std::move(text)});
        return false;
    });
    std::stable_sort(SavedColumns.begin(), SavedColumns.end(), KeyLess<SavedColumn, SavedColumn>);
    scope.Value(L"SavedColumns.size()", _variant_t(static_cast<unsigned long>(SavedColumns.size())));
}

void NMSpcObjSnapshot::TakePosition(const std::wstring& text, TraceScope& scope)
{
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
}

void NMSpcObjSnapshot::RestoreColumns(IVel7SpcObject* newObject)
{
    TraceScope scope(L"NMSpcObjSnapshot::RestoreColumns");
    if (SavedColumns.empty())
        return;
    const IDispatchPtr columns = V7Get(newObject, &IVel7SpcObjectBase::get_ColumnsA);
    FindSpcItem<IVel7SpcColumn>(columns, [&](IVel7SpcColumn* column) {
        const SpcColumnKey key = ColumnKey(column);
        auto found = std::lower_bound(SavedColumns.begin(), SavedColumns.end(), key, KeyLess<SavedColumn, SpcColumnKey>);
        if (found != SavedColumns.end() && found->type == key.type && found->number == key.number)
            SpcColumnSetString(column, found->text, true);
        return false;
    });
}
