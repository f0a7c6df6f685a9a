#include "objects/spc_columns.h"

#include "core/com_convert.h"

SpcColumnKey ColumnKey(IVel7SpcColumn* column)
{
    return {static_cast<int32_t>(V7Get(column, &IVel7SpcColumn::get_Type)),
            static_cast<int32_t>(V7Get(column, &IVel7SpcColumn::get_Number))};
}

SpcColumnKey DefinitionKey(IVel7SpcColumnDefinition* definition)
{
    return {static_cast<int32_t>(V7Get(definition, &IVel7SpcColumnDefinition::get_Type)),
            static_cast<int32_t>(V7Get(definition, &IVel7SpcColumnDefinition::get_Number))};
}

std::wstring ColumnText(IVel7SpcColumn* column)
{
    const auto text = QueryHost<IVel7SpcColumnText>(V7Get(column, &IVel7SpcColumn::get_TextObject));
    return BstrToWString(V7Get(text, &IVel7SpcColumnText::get_Str));
}
