// The column record's text forms, read back by the column-set reader that fills spc objects.
#include "tools/spc_column.h"

#include "core/variables.h"
#include "objects/spc_column_set.h"
#include "objects/spc_preset.h"

#include <gtest/gtest.h>

TEST(SpcColumn, TextFormsAndTheLenientReading)
{
    struct Row {
        const wchar_t* text;
        SpcColumn column;
        const wchar_t* written; // the text the record gives back
        const wchar_t* display;
    };
    const Row rows[] = {
        {kDefaultSpcColumns, {5, 1, L"Designation", L"VELMAR_SPEC_PATTERN"}, kDefaultSpcColumns, L"НАИМЕНОВАНИЕ[1]"},
        {L"8.2=MACC", {8, 2, L"MACC", L""}, L"8.2=MACC", L"МАССА[2]"},
        {L"abc", {1, 1, L"", L""}, L"1.1=", L"ФОРМАТ[1]"},
        {L"7.x=a,b,c,d", {7, 1, L"a", L"b"}, L"7.1=a,b", L"ПРИМЕЧАНИЕ[1]"},
        {L"99999999999.3=v", {1, 3, L"v", L""}, L"1.3=v", L"ФОРМАТ[3]"},
        {L"0.1=X", {0, 1, L"X", L""}, L"0.1=X", L"VELMAR_SPEC_PATTERN[1]"},
        // Types past the table show their number, also when a sign made them huge as unsigned numbers.
        {L"20.1=X", {20, 1, L"X", L""}, L"20.1=X", L"20[1]"},
        {L"-5.1=X", {static_cast<uint32_t>(-5), 1, L"X", L""}, L"-5.1=X", L"-5[1]"},
    };
    for (const Row& row : rows) {
        const SpcColumn column = ParseSpcColumn(row.text);
        EXPECT_EQ(column, row.column) << row.text;
        EXPECT_EQ(SpcColumnText(column), row.written) << row.text;
        EXPECT_EQ(SpcColumnDisplayText(column), row.display) << row.text;
    }
    EXPECT_EQ(ParseSpcColumnSet(L""), std::vector<SpcColumn>{});
    const std::vector<SpcColumn> two = {{5, 1, L"Designation", L""}, {16, 32767, L"Код", L"A"}};
    EXPECT_EQ(SpcColumnSetText(two), L"5.1=Designation;16.32767=Код,A");
    EXPECT_EQ(ParseSpcColumnSet(SpcColumnSetText(two)), two);
}

TEST(SpcColumn, EveryRecordTheEditorWritesMeansTheSameToThePresetReader)
{
    // Each variable's value names the variable, so that the reader's result shows which one it took.
    const Variables vars = {{L"Designation", L"Designation"}, {L"Свой", L"Свой"}, {L"VELMAR_SPEC_PATTERN", L"7|a"}};
    const SpcColumn columns[] = {
        {5, 1, L"Designation", L"VELMAR_SPEC_PATTERN"},
        {16, 32767, L"Свой", L""},
        {1, 1, L"", L""},
    };
    for (const SpcColumn& column : columns) {
        const auto record = ParseColumnDescriptor(SpcColumnText(column), vars);
        ASSERT_TRUE(record) << SpcColumnText(column);
        EXPECT_EQ(record->Type, static_cast<int32_t>(column.Type));
        EXPECT_EQ(record->Number, static_cast<int32_t>(column.Number));
        EXPECT_EQ(record->Text, column.Value);
        EXPECT_EQ(record->HasPattern, !column.Attribute.empty());
    }
}
