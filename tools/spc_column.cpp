#include "tools/spc_column.h"

#include "core/format_string.h"
#include "core/string_utils.h"
#include "core/translate.h"
#include "core/variables.h"
#include "objects/spc_column_set.h"
#include "tools/number_range.h"

namespace {

const wchar_t* const kTypeLabels[] = {
    kSpecPatternAttribute, L"ФОРМАТ", L"ЗОНА", L"ПОЗИЦИЯ", L"ОБОЗНАЧЕНИЕ", L"НАИМЕНОВАНИЕ", L"КОЛИЧЕСТВО",
    L"ПРИМЕЧАНИЕ", L"МАССА", L"МАТЕРИАЛ", L"ПОЛЬЗОВАТЕЛЬСКАЯ", L"КОД", L"ЗАВОД ИЗГОТОВИТЕЛЬ",
    L"НОМЕР ДОКУМЕНТА", L"НАИМЕНОВАНИЕ ДОКУМЕНТА", L"КОД ДОКУМЕНТА", L"КОД ОКП",
};

uint32_t NumberOrOne(const std::wstring& piece)
{
    return static_cast<uint32_t>(ParseWholeNumber(piece).value_or(1));
}

// Signed, as the preset readers parse it: a stored "-5" comes back as "-5", not as its unsigned twin.
_variant_t AsStored(uint32_t number)
{
    return _variant_t(static_cast<long>(static_cast<int32_t>(number)));
}

} // namespace

std::wstring SpcColumnText(const SpcColumn& column)
{
    if (column.Attribute.empty())
        return FormatString(L"%d.%d=%s", AsStored(column.Type), AsStored(column.Number), column.Value.c_str());
    return FormatString(L"%d.%d=%s,%s", AsStored(column.Type), AsStored(column.Number), column.Value.c_str(),
                        column.Attribute.c_str());
}

SpcColumn ParseSpcColumn(const std::wstring& text)
{
    const auto pieces = SplitAny(text, L".=,");
    SpcColumn column;
    column.Type = NumberOrOne(pieces.size() > 0 ? pieces[0] : std::wstring());
    column.Number = NumberOrOne(pieces.size() > 1 ? pieces[1] : std::wstring());
    if (pieces.size() > 2)
        column.Value = pieces[2];
    if (pieces.size() > 3)
        column.Attribute = pieces[3];
    return column;
}

std::wstring SpcColumnSetText(const std::vector<SpcColumn>& columns)
{
    std::vector<std::wstring> records;
    for (const auto& column : columns)
        records.push_back(SpcColumnText(column));
    return JoinStrings(records, L";");
}

std::vector<SpcColumn> ParseSpcColumnSet(const std::wstring& text)
{
    std::vector<SpcColumn> columns;
    for (const auto& record : Split(text, L";")) {
        // What fills no column must not come back as one: the lenient reading would make it type 1, number 1.
        if (ParseColumnDescriptor(record, Variables()))
            columns.push_back(ParseSpcColumn(record));
    }
    return columns;
}

std::wstring SpcColumnTypeLabel(uint32_t type)
{
    if (type > kSpcColumnTypeCount)
        return FormatString(L"%d", AsStored(type));
    return Translate(kTypeLabels[type]);
}

std::wstring SpcColumnDisplayText(const SpcColumn& column)
{
    return FormatString(L"%s[%d]", SpcColumnTypeLabel(column.Type).c_str(), AsStored(column.Number));
}

bool HasColumnSeparator(const std::wstring& text)
{
    return text.find_first_of(kSpcColumnSeparators) != std::wstring::npos;
}
