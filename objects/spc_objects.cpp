// NMVelObj: creating, placing, filling and reusing the part's specification object.
#include "core/com_convert.h"
#include "core/data_convert_error.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dual_interface.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_error.h"
#include "hostapi/host_version.h"
#include "hostapi/restore_step.h"
#include "hostapi/vtable_call.h"
#include "objects/cant_create_spc_obj.h"
#include "objects/nm_vel_obj.h"
#include "objects/spc_column_set.h"
#include "hostapi/host_window.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace {

// The part variables that fill further columns of collection B, found there by column name.
struct NamedColumn {
    const wchar_t* variable;
    const wchar_t* column;
};
const NamedColumn kNamedColumns[] = {
    {L"Quarvend_IID", L"ID Normset"},
    {L"Handle", L"ID материала"},
    {L"ExtObjectName", L"Обозначение материала"},
};

const SpcColumnKey kMassColumn{8, 1};
// The columns that tell which part a line was made for.
const SpcColumnKey kDesignationColumn{4, 1};
const SpcColumnKey kNameColumn{5, 1};
// Velmar numbers the position column itself: what it shows is not written on a line.
const SpcColumnKey kPositionColumn{3, 1};

// The first column of the collection with that type and number.
IVel7SpcColumnPtr FindColumn(IDispatch* columns, const SpcColumnKey& key)
{
    return FindSpcItem<IVel7SpcColumn>(columns, [&](IVel7SpcColumn* column) { return ColumnKey(column) == key; });
}

// Walks the definitions in order: a definition that `matches` gives a key for (and, in a 3D specification,
// that belongs to the 3D form) leads to the first column of that key; one without such a column lets the
// walk go on.
template <class Match>
IVel7SpcColumnPtr FindByDefinition(IDispatch* columns, IDispatch* definitions, bool is3DSpec, Match&& matches)
{
    IVel7SpcColumnPtr found;
    FindSpcItem<IVel7SpcColumnDefinition>(definitions, [&](IVel7SpcColumnDefinition* definition) {
        const std::optional<SpcColumnKey> key = matches(definition);
        if (!key)
            return false;
        // Only a 3D specification tells the columns of its 3D form from the others.
        if (is3DSpec && V7Get(definition, &IVel7SpcColumnDefinition::get_Is3D) == VARIANT_FALSE)
            return false;
        found = FindColumn(columns, *key);
        return found != nullptr;
    });
    return found;
}

SpcColumnRecord PlainRecord(int32_t type, int32_t number, const std::wstring& text)
{
    SpcColumnRecord record;
    record.Type = type;
    record.Number = number;
    record.Text = text;
    return record;
}

} // namespace

void NMVelObj::CreateNewSpcObject(const SpcDocContext& context, const ObjArray& geometry)
{
    TraceScope scope(L"NMVelObj::CreateNewSpcObject");
    const NMSpcPreset& preset = RequireRebuildPreset(scope);
    preset.DebugInfo();
    iSpcObj = nullptr;

    if (context.IsMainlyValid()) {
        scope.WriteLine(L"IsMainlyValid");
        auto* objects = AsDual<IVel7SpcObjects>(context.iSpcObjs);
        const long section = preset.SectionNum;
        IDispatchPtr made = V7Get(objects, &IVel7SpcObjects::Add, section, preset.ParsedColumns.PatternValue);
        if (!made)
            made = V7Get(objects, &IVel7SpcObjects::Add, section, 0.0);
        iSpcObj = QueryHostOrNull<IVel7SpcObject>(made);
        scope.Hex(L"iSpcObj", reinterpret_cast<std::int64_t>(iSpcObj.GetInterfacePtr()));
    }
    if (!iSpcObj) {
        scope.WriteLine(L"no specification object");
        throw CantCreateSpcObj();
    }
    try {
        updateSpcObj();
        scope.Value(L"aGeom.size()", _variant_t(static_cast<unsigned long>(geometry.size())));
        IncludeSpcGeometry(iSpcObj, geometry, scope);
    } catch (...) {
        // Half made, it would stand in the bill of materials holding nothing of the part.
        RestoreStep(L"NMVelObj::CreateNewSpcObject", [&] { V7Call(iSpcObj, &IVel7SpcObjectBase::Delete); });
        iSpcObj = nullptr;
        throw;
    }
}

void NMVelObj::updateSpcObj()
{
    TraceScope scope(L"NMVelObj::updateSpcObj");
    const NMSpcPreset& preset = RequireRebuildPreset(scope);
    if (preset.SubSectionNum != 0)
        V7Call(iSpcObj, &IVel7SpcObjectBase::put_SubSection, static_cast<long>(preset.SubSectionNum));
    V7Call(iSpcObj, &IVel7SpcObjectBase::put_AdditionalBlock, static_cast<long>(preset.AdditionalBlockNum));
    if (preset.AdditionalBlockNum != 0)
        V7Call(iSpcObj, &IVel7SpcObjectBase::put_AdditionalBlockSection, static_cast<long>(preset.SectionNum));
    V7Call(iSpcObj, &IVel7SpcObjectBase::put_NestedBlock, static_cast<long>(preset.NestedBlockNum));
    if (preset.NestedBlockNum != 0)
        V7Call(iSpcObj, &IVel7SpcObjectBase::put_NestedSection, static_cast<long>(preset.NestedSectionNum));
}

IVel7SpcColumnPtr NMVelObj::FindColumnByType(IDispatch* columns, IDispatch* definitions, const SpcColumnKey& key)
{
    TraceScope scope(L"NMVelObj::FindColumnByType");
    scope.Value(L"aCol.clmType", _variant_t(static_cast<long>(key.type)));
    scope.Value(L"aCol.clmNumber", _variant_t(static_cast<long>(key.number)));
    return FindByDefinition(columns, definitions, Is3DSpec, [&](IVel7SpcColumnDefinition* definition) {
        return DefinitionKey(definition) == key ? std::optional(key) : std::nullopt;
    });
}

IVel7SpcColumnPtr NMVelObj::FindColumnByName(IDispatch* columns, IDispatch* definitions, const std::wstring& name)
{
    TraceScope scope(L"NMVelObj::FindColumnByName");
    scope.String(L"aColName", name);
    return FindByDefinition(columns, definitions, Is3DSpec, [&](IVel7SpcColumnDefinition* definition) {
        return BstrToWString(V7Get(definition, &IVel7SpcColumnDefinition::get_Name)) == name
                   ? std::optional(DefinitionKey(definition))
                   : std::nullopt;
    });
}

void NMVelObj::FillColumn(IVel7SpcColumn* column, const SpcColumnRecord& record, bool useFmt)
{
    switch (V7Get(column, &IVel7SpcColumn::get_Kind)) {
    case 1:
    case 2:
    case 3:
        FillColumnAsString(column, record, useFmt);
        break;
    case 4:
        // A record-kind column takes its items only from a pattern, and only on a numbered object.
        if (record.HasPattern && V7Get(iSpcObj, &IVel7SpcObject::get_Number) != 0)
            FillColumnAsRecord(column, record, useFmt);
        else
            FillColumnAsString(column, record, useFmt);
        break;
    default:
        break;
    }
}

void NMVelObj::FillColumnAsString(IVel7SpcColumn* column, const SpcColumnRecord& record, bool useFmt)
{
    SpcColumnSetString(column, record.Text, useFmt);
}

void NMVelObj::FillColumnAsRecord(IVel7SpcColumn* column, const SpcColumnRecord& record, bool useFmt)
{
    TraceScope scope(L"NMVelObj::FillColumnAsRecord");
    const IDispatchPtr itemsObject = V7Get(column, &IVel7SpcColumn::get_Items);
    auto* items = AsDual<IVel7SpcColumnItems>(itemsObject);
    const long count = std::min<long>(V7Get(items, &IVel7SpcColumnItems::get_Count), static_cast<long>(record.Lines.size()));
    for (long i = 0; i < count; ++i) {
        const IDispatchPtr itemObject = V7Get(items, &IVel7SpcColumnItems::get_Item, _variant_t(i));
        auto* item = AsDual<IVel7SpcColumnItem>(itemObject);
        const std::wstring& text = record.Lines[static_cast<size_t>(i)];
        if (text.empty()) {
            V7Call(item, &IVel7SpcColumnItem::put_On, VARIANT_FALSE);
            continue;
        }
        scope.Value(L"i", _variant_t(i));
        scope.String(L"itm", text);
        V7Call(item, &IVel7SpcColumnItem::put_Value, _variant_t(text.c_str()));
        V7Call(item, &IVel7SpcColumnItem::put_On, VARIANT_TRUE);
    }
    if (record.Plus) {
        V7Get(iSpcObj, &IVel7SpcObjectBase::Update);
        FillColumnAsString(column, record, useFmt);
    }
}

void NMVelObj::FillSpcObjectColumns(const SpcDocContext& context)
{
    TraceScope scope(L"NMVelObj::FillSpcObjectColumns");
    if (!iSpcObj)
        RaiseNullHostPointer(__uuidof(IVel7SpcObject));
    const NMSpcPreset& preset = RequireRebuildPreset(scope);
    const auto& records = preset.ParsedColumns.Records;

    if (context.IsMainlyValid()) {
        const IDispatchPtr columnsA = V7Get(iSpcObj, &IVel7SpcObjectBase::get_ColumnsA);
        if (columnsA)
            for (const auto& record : records)
                if (IVel7SpcColumnPtr column = FindColumnByType(columnsA, context.iSpcDscSubA, {record.Type, record.Number}))
                    FillColumn(column, record, true);
    }

    if (context.IsComplete()) {
        const IDispatchPtr columnsB = V7Get(iSpcObj, &IVel7SpcObjectBase::get_ColumnsB);
        if (columnsB) {
            for (const auto& record : records)
                if (IVel7SpcColumnPtr column = FindColumnByType(columnsB, context.iSpcDscSubB, {record.Type, record.Number}))
                    FillColumn(column, record, false);
            const Variables& vars = PartVariables();
            if (vars.HasValue(L"MACC"))
                if (IVel7SpcColumnPtr column = FindColumnByType(columnsB, context.iSpcDscSubB, kMassColumn))
                    FillColumn(column, PlainRecord(kMassColumn.type, kMassColumn.number, vars.GetString(L"MACC")), false);
            for (const auto& named : kNamedColumns)
                if (vars.HasValue(named.variable))
                    if (IVel7SpcColumnPtr column = FindColumnByName(columnsB, context.iSpcDscSubB, named.column))
                        FillColumn(column, PlainRecord(0, 0, vars.GetString(named.variable)), false);
        }
    }

    const VARIANT_BOOL updated = V7Get(iSpcObj, &IVel7SpcObjectBase::Update);
    scope.Value(L"iSpcObj->Update()", _variant_t(updated != VARIANT_FALSE));
}

std::wstring NMVelObj::ColumnTextByPreset(const SpcColumnKey& key) const
{
    if (!OwnPreset || !Settings)
        return {};
    NMSpcPreset wanted(*OwnPreset);
    wanted.Correct(Settings->GetActivePreset());
    SpcColumnSet set;
    try {
        ParseColumnSet(set, wanted.Columns, PartVariables());
    } catch (const DataConvertError&) {
        return {};
    }
    for (const SpcColumnRecord& record : set.Records)
        if (record.Type == key.type && record.Number == key.number)
            return record.Text;
    return {};
}

SpcLineIdentity NMVelObj::LineIdentityByPreset() const
{
    return {ColumnTextByPreset(kDesignationColumn), ColumnTextByPreset(kNameColumn), L""};
}

bool NMVelObj::MakesColumnText(const SpcLineColumn& column) const
{
    if (!OwnPreset)
        return false;
    if (ColumnTextByPreset({column.type, column.number}) == column.text)
        return true;
    if (column.collection != 1)
        return false;
    const Variables& vars = PartVariables();
    const auto shows = [&](const wchar_t* variable) { return vars.HasValue(variable) && vars.GetString(variable) == column.text; };
    if (SpcColumnKey{column.type, column.number} == kMassColumn && shows(L"MACC"))
        return true;
    // The named columns are found by their names, which a line read back does not tell: their values do.
    return std::any_of(std::begin(kNamedColumns), std::end(kNamedColumns), [&](const NamedColumn& named) { return shows(named.variable); });
}

SpcLineIdentity NMVelObj::ShownLineIdentity(IVel7SpcObject* line, const SpcDocContext& context)
{
    SpcLineIdentity identity;
    if (!line || !context.IsMainlyValid())
        return identity;
    const IDispatchPtr columns = V7Get(line, &IVel7SpcObjectBase::get_ColumnsA);
    if (!columns)
        return identity;
    const auto text = [&](const SpcColumnKey& key) {
        const IVel7SpcColumnPtr column = FindColumnByType(columns, context.iSpcDscSubA, key);
        return column ? ColumnText(column) : std::wstring();
    };
    identity.designation = text(kDesignationColumn);
    identity.name = text(kNameColumn);
    return identity;
}

IVel7SpcColumnPtr NMVelObj::NormsetIdColumn(IVel7SpcObject* line, const SpcDocContext& context)
{
    if (!line || !context.IsComplete())
        return nullptr;
    const IDispatchPtr columnsB = V7Get(line, &IVel7SpcObjectBase::get_ColumnsB);
    return FindColumnByName(columnsB, context.iSpcDscSubB, L"ID Normset");
}

std::wstring NMVelObj::ShownNormsetId(IVel7SpcObject* line, const SpcDocContext& context)
{
    const IVel7SpcColumnPtr column = NormsetIdColumn(line, context);
    return column ? ColumnText(column) : std::wstring();
}

bool NMVelObj::HasNormsetIdColumn(IVel7SpcObject* line, const SpcDocContext& context)
{
    return NormsetIdColumn(line, context) != nullptr;
}

OldSpcLine NMVelObj::ShownOldSpcLine(IVel7SpcObject* line, const SpcDocContext& context)
{
    OldSpcLine shown;
    shown.identity = ShownLineIdentity(line, context);
    if (!line || !context.IsMainlyValid())
        return shown;
    const auto readOthers = [&](IDispatch* columns, long collection, const auto& tells) {
        FindSpcItem<IVel7SpcColumn>(columns, [&](IVel7SpcColumn* column) {
            const SpcColumnKey key = ColumnKey(column);
            if (!tells(key))
                if (std::wstring text = ColumnText(column); !text.empty())
                    shown.others.push_back({collection, key.type, key.number, std::move(text)});
            return false;
        });
    };
    readOthers(V7Get(line, &IVel7SpcObjectBase::get_ColumnsA), 0, [](const SpcColumnKey& key) {
        return key == kDesignationColumn || key == kNameColumn || key == kPositionColumn;
    });
    if (!context.IsComplete())
        return shown;
    std::optional<SpcColumnKey> idKey;
    if (const IVel7SpcColumnPtr id = NormsetIdColumn(line, context)) {
        shown.identity.member = ColumnText(id);
        idKey = ColumnKey(id);
    }
    readOthers(V7Get(line, &IVel7SpcObjectBase::get_ColumnsB), 1, [&](const SpcColumnKey& key) { return idKey == key; });
    return shown;
}

std::vector<OldSpcLine> NMVelObj::ReadOldSpcLines(const SpcDocContext& context, const std::vector<bool>& setsOwn)
{
    std::vector<OldSpcLine> lines;
    for (size_t j = 0; j < ExSpcObjs.size(); ++j) {
        lines.push_back(ShownOldSpcLine(RequireHost(QueryHostOrNull<IVel7SpcObject>(ExSpcObjs[j])), context));
        lines.back().setsOwn = setsOwn[j];
    }
    return lines;
}

ObjArray NMVelObj::KeepOwnSpcLinesListed(const SpcDocContext& context, const SpcLineIdentity& madeAs,
                                         const std::vector<bool>& heldByLeader, bool hasSpcData, bool* ownGuessed)
{
    TraceScope scope(L"NMVelObj::KeepOwnSpcLinesListed");
    if (ExSpcObjs.empty())
        return {};
    const bool idColumn = hasSpcData && HasNormsetIdColumn(GetFirstSpcObject(), context);
    const std::vector<OldSpcLine> lines = ReadOldSpcLines(context, heldByLeader);
    const SpcLinePairing pairing = hasSpcData ? PairSinglePartLines(madeAs, lines, idColumn)
                                              : PairSpcLines(std::vector<std::optional<SpcLinePart>>{SpcLinePart{madeAs, false}}, lines);
    ObjArray own;
    ObjArray users;
    if (pairing.own[0])
        own.push_back(ExSpcObjs[*pairing.own[0]]);
    for (size_t j = 0; j < ExSpcObjs.size(); ++j)
        if (!pairing.owner[j])
            users.push_back(ExSpcObjs[j]);
        else if (j != pairing.own[0])
            own.push_back(ExSpcObjs[j]);
    scope.Value(L"own line", pairing.own[0] ? _variant_t(static_cast<long>(*pairing.own[0])) : _variant_t(-1L));
    scope.Value(L"users' lines", _variant_t(static_cast<unsigned long>(users.size())));
    if (ownGuessed)
        *ownGuessed = pairing.guessed[0];
    ExSpcObjs = std::move(own);
    return users;
}

bool NMVelObj::CanUseOldSpcObj(const SpcDocContext& context)
{
    TraceScope scope(L"NMVelObj::CanUseOldSpcObj");
    if (HostVersion < kHostVersion1501 || ExSpcObjs.empty())
        return false;
    const NMSpcPreset& preset = RequireRebuildPreset(scope);
    IVel7SpcObjectPtr first = GetFirstSpcObject();
    if (V7Get(first, &IVel7SpcObjectBase::get_Section) != preset.SectionNum)
        return false;
    if (ExSpcObjs.size() == 1)
        return true;

    // Several: a new object is made. Only the objects that carry the library's identity stay candidates;
    // where none does (a bill of materials without the "ID Normset" column, or lines made before it had
    // one) the part's own objects were told from the user's by their texts (KeepOwnSpcLinesListed), and
    // all stay listed.
    ObjArray kept;
    for (const IDispatchPtr& listed : ExSpcObjs)
        if (context.IsComplete() && !ShownNormsetId(QueryHostOrNull<IVel7SpcObject>(listed), context).empty())
            kept.push_back(listed);
    if (kept.empty())
        return false;
    scope.Value(L"ExSpcObjs.size()", _variant_t(static_cast<unsigned long>(kept.size())));
    ExSpcObjs = std::move(kept);
    return false;
}

void NMVelObj::useOldSpcObj(const ObjArray& geometry)
{
    TraceScope scope(L"NMVelObj::useOldSpcObj");
    const NMSpcPreset& preset = RequireRebuildPreset(scope);
    iSpcObj = GetFirstSpcObject();
    updateSpcObj();
    V7Call(iSpcObj, &IVel7SpcObject::put_Number, preset.ParsedColumns.PatternValue);
    scope.Value(L"aGeom.size()", _variant_t(static_cast<unsigned long>(geometry.size())));
    if (!geometry.empty())
        IncludeSpcGeometry(iSpcObj, geometry, scope);
    const VARIANT_BOOL updated = V7Get(iSpcObj, &IVel7SpcObjectBase::Update);
    scope.Value(L"iSpcObj->Update()", _variant_t(updated != VARIANT_FALSE));
    ExSpcObjs.erase(ExSpcObjs.begin());
}

void NMVelObj::ShowSpcObjectCreateError()
{
    TraceScope scope(L"NMVelObj::ShowSpcObjectCreateError");
    if (MessageMode != 0 && (MessageMode != 1 || SpcErrorShown))
        return;
    HostMessageBox(iApp7, Translate(L"Не удалось создать объект спецификации."), 48);
    SpcErrorShown = true;
}
