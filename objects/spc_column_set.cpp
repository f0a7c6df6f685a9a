#include "objects/spc_column_set.h"

#include "core/data_convert_error.h"
#include "core/number_text.h"
#include "core/string_utils.h"
#include "core/trace_log.h"
#include "core/variables.h"
#include "hostapi/host_query.h"
#include "hostapi/vtable_call.h"

void ParseColumnSet(SpcColumnSet& set, const std::wstring& text, const Variables& vars)
{
    set.PatternValue = 0;
    set.Records.clear();
    for (const auto& descriptor : Split(text, L";")) {
        auto record = ParseColumnDescriptor(descriptor, vars);
        if (!record)
            continue;
        if (record->HasPattern)
            set.PatternValue = record->Value;
        set.Records.push_back(std::move(*record));
    }
}

std::optional<SpcColumnRecord> ParseColumnDescriptor(const std::wstring& descriptor, const Variables& vars)
{
    // The column editor writes complete descriptors; a hand-typed ";" too many, a descriptor cut short,
    // or a column type or number that is no number leaves nothing to fill and must not cost the user the
    // whole spc object.
    const auto skipped = [&descriptor] {
        TraceScope scope(L"ParseColumnDescriptor");
        scope.String(L"skipped", descriptor);
        return std::nullopt;
    };
    const auto pieces = SplitAny(descriptor, L".=,");
    if (pieces.size() < 3)
        return skipped();

    SpcColumnRecord record;
    try {
        record.Type = StrToInt32(pieces[0]);
        record.Number = StrToInt32(pieces[1]);
    } catch (const DataConvertError&) {
        return skipped();
    }
    if (vars.HasValue(pieces[2]))
        record.Text = vars.GetString(pieces[2]);
    if (pieces.size() < 4 || !vars.HasValue(pieces[3]))
        return record;

    // Only the text before the first "#$#" is the pattern; "@/" stands for a line break in it.
    const auto parts = Split(vars.GetString(pieces[3]), L"#$#");
    if (parts.empty() || parts[0].empty())
        return record;
    const auto fields = Split(ReplaceAll(parts[0], L"@/", L"\n"), L"|");
    record.HasPattern = true;
    record.Plus = !fields[0].empty() && fields[0][0] == L'+';
    record.Value = StrToDouble(fields[0]);
    record.Lines.assign(fields.begin() + 1, fields.end());
    return record;
}

void SpcColumnSetString(IVel7SpcColumn* column, const std::wstring& aStr, bool useFmt)
{
    TraceScope scope(L"SpcColumnSetString");
    scope.String(L"aStr", aStr);
    scope.Value(L"UseFmt", _variant_t(static_cast<long>(useFmt)));
    if (useFmt) {
        // A column without the whole-string interface leaves a null pointer: the call raises E_POINTER.
        const auto whole = QueryHost<IVel7SpcColumnString>(column);
        V7Call(whole, &IVel7SpcColumnString::put_Str, _bstr_t(aStr.c_str()));
        return;
    }
    const auto text = QueryHost<IVel7SpcColumnText>(V7Get(column, &IVel7SpcColumn::get_TextObject));
    if (V7Get(text, &IVel7SpcColumnText::get_LineCount) < 1)
        return;
    V7Call(text, &IVel7SpcColumnText::put_LineText, 0L, _variant_t(aStr.c_str()));
}
