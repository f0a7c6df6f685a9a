// Column sets: the descriptor mini-language against a part's variables.
#include "objects/spc_column_set.h"

#include <gtest/gtest.h>

#include "core/data_convert_error.h"
#include "core/trace_log.h"
#include "core/variables.h"
#include "sim/spc_column.h"
#include "sim/stand_in_test.h"

namespace {

using Lines = std::vector<std::wstring>;

SpcColumnSet Parse(const std::wstring& text, const Variables& vars)
{
    SpcColumnSet set;
    ParseColumnSet(set, text, vars);
    return set;
}

} // namespace

TEST(ColumnSet, DefaultSetWithoutPatternGivesOneTextRecord)
{
    const auto set = Parse(L"5.1=Designation,VELMAR_SPEC_PATTERN", Variables{{L"Designation", L"Bolt M8"}});
    ASSERT_EQ(set.Records.size(), 1u);
    const auto& record = set.Records[0];
    EXPECT_EQ(record.Type, 5);
    EXPECT_EQ(record.Number, 1);
    EXPECT_EQ(record.Text, L"Bolt M8");
    EXPECT_FALSE(record.HasPattern);
    EXPECT_TRUE(record.Lines.empty());
    EXPECT_EQ(set.PatternValue, 0.0);
}

TEST(ColumnSet, AnyOfTheThreeSeparatorsSplitsADescriptor)
{
    const Variables vars{{L"Designation", L"Bolt M8"}, {L"P", L"2|a"}};
    const auto commas = Parse(L"5,1,Designation", vars);
    const auto usual = Parse(L"5.1=Designation", vars);
    ASSERT_EQ(commas.Records.size(), 1u);
    EXPECT_EQ(commas.Records, usual.Records);
    EXPECT_EQ(Parse(L"5=1.Designation=P", vars).Records, Parse(L"5.1=Designation,P", vars).Records);
}

TEST(ColumnSet, MissingOrNullTextVariableGivesEmptyText)
{
    const auto set = Parse(L"5.1=Designation;6.2=Name;7.3=Blank",
                           Variables{{L"Designation", L"NULL_VALUE"}, {L"Blank", L"   "}});
    ASSERT_EQ(set.Records.size(), 3u);
    for (const auto& record : set.Records)
        EXPECT_EQ(record.Text, L"");
    EXPECT_EQ(set.Records[1].Type, 6);
    EXPECT_EQ(set.Records[2].Number, 3);
}

TEST(ColumnSet, PatternGivesValueAndLinesFromItsFirstPieceOnly)
{
    const auto set = Parse(L"5.1=D,P", Variables{{L"D", L"x"}, {L"P", L"2|first line|second line#$#anything|more"}});
    ASSERT_EQ(set.Records.size(), 1u);
    const auto& record = set.Records[0];
    EXPECT_TRUE(record.HasPattern);
    EXPECT_FALSE(record.Plus);
    EXPECT_EQ(record.Value, 2.0);
    EXPECT_EQ(record.Lines, (Lines{L"first line", L"second line"}));
    EXPECT_EQ(set.PatternValue, 2.0);
}

TEST(ColumnSet, PatternWithPlusAndDecimalCommaOrPoint)
{
    const auto plus = Parse(L"5.1=D,P", Variables{{L"P", L"+1.5|a"}});
    ASSERT_EQ(plus.Records.size(), 1u);
    EXPECT_TRUE(plus.Records[0].Plus);
    EXPECT_EQ(plus.Records[0].Value, 1.5);
    EXPECT_EQ(plus.Records[0].Lines, (Lines{L"a"}));

    const auto comma = Parse(L"5.1=D,P", Variables{{L"P", L"2,5"}});
    EXPECT_EQ(comma.Records[0].Value, 2.5);
    EXPECT_TRUE(comma.Records[0].Lines.empty());
}

TEST(ColumnSet, LineBreakMarkInsideLinesBecomesLineFeed)
{
    const auto set = Parse(L"5.1=D,P", Variables{{L"P", L"1|a@/b|@/"}});
    EXPECT_EQ(set.Records[0].Lines, (Lines{L"a\nb", L"\n"}));
}

TEST(ColumnSet, PatternNumberWithLineBreakFailsTheConversion)
{
    try {
        Parse(L"5.1=D,P", Variables{{L"P", L"3@/x|y"}});
        FAIL() << "no DataConvertError";
    } catch (const DataConvertError& error) {
        EXPECT_EQ(error.code, DataConvertError::InvalidArgument);
        EXPECT_EQ(error.function, L"StrToDouble");
    }
    EXPECT_THROW(Parse(L"5.1=D,P", Variables{{L"P", L"|a|b"}}), DataConvertError);
}

TEST(ColumnSet, MissingOrNullPatternVariableOnlyClearsThePattern)
{
    const auto set = Parse(L"5.1=D,Missing;6.1=D,Null;7.1=D,Blank",
                           Variables{{L"D", L"x"}, {L"Null", L"NULL_VALUE"}, {L"Blank", L""}});
    ASSERT_EQ(set.Records.size(), 3u);
    for (const auto& record : set.Records) {
        EXPECT_FALSE(record.HasPattern);
        EXPECT_EQ(record.Text, L"x");
    }
    EXPECT_EQ(set.PatternValue, 0.0);
}

TEST(ColumnSet, PatternValueIsTheLastRecordsWithAPattern)
{
    const auto set = Parse(L"5.1=D,P1;6.1=D;7.1=D,P4;8.1=D,Missing",
                           Variables{{L"D", L"x"}, {L"P1", L"1|a"}, {L"P4", L"4|b"}});
    ASSERT_EQ(set.Records.size(), 4u);
    EXPECT_EQ(set.PatternValue, 4.0);
}

TEST(ColumnSet, ParsingEmptiesTheSetFirst)
{
    SpcColumnSet set;
    ParseColumnSet(set, L"5.1=D,P", Variables{{L"P", L"7"}});
    ASSERT_EQ(set.PatternValue, 7.0);
    ParseColumnSet(set, L"", Variables{});
    EXPECT_TRUE(set.Records.empty());
    EXPECT_EQ(set.PatternValue, 0.0);
}

TEST(ColumnSet, FurtherPiecesAfterThePatternVariableAreIgnored)
{
    const auto set = Parse(L"5.1=D,P,extra.more", Variables{{L"P", L"3|a"}});
    ASSERT_EQ(set.Records.size(), 1u);
    EXPECT_EQ(set.Records[0].Value, 3.0);
}

// Hand-typed column sets: a ";" too many, a descriptor cut short, a type or number that is no number.
TEST(ColumnSet, IncompleteOrNonNumericDescriptorsAreSkippedAndTraced)
{
    TraceLog log(L"test", false);
    const Variables vars{{L"D", L"x"}};
    for (const std::wstring text : {L"5.1=D;", L";5.1=D", L"5.1=D;;", L"5.1=D;6.1", L"5.1=D;7", L"5.1=D;A.1=D", L"5.1x=D;5.1=D",
                                    L"5.1=D;5.99999999999=D"}) {
        const auto set = Parse(text, vars);
        ASSERT_EQ(set.Records.size(), 1u) << text;
        EXPECT_EQ(set.Records[0].Text, L"x") << text;
    }
    EXPECT_TRUE(Parse(L";", vars).Records.empty());
    EXPECT_NE(log.Text().find(L"skipped=\"6.1\""), std::wstring::npos) << log.Text();
    EXPECT_NE(log.Text().find(L"skipped=\"\""), std::wstring::npos) << log.Text();
    EXPECT_NE(log.Text().find(L"skipped=\"A.1=D\""), std::wstring::npos) << log.Text();
}

TEST(ColumnSet, PatternWithEmptyFirstPieceMeansNoPattern)
{
    const auto set = Parse(L"5.1=D,P;6.1=D,Q", Variables{{L"D", L"x"}, {L"P", L"#$#2|a"}, {L"Q", L"5"}});
    ASSERT_EQ(set.Records.size(), 2u);
    EXPECT_FALSE(set.Records[0].HasPattern);
    EXPECT_EQ(set.Records[0].Text, L"x");
    EXPECT_TRUE(set.Records[1].HasPattern);
    EXPECT_EQ(set.PatternValue, 5.0);
}

TEST(ColumnSet, DescriptorWithEmptyTextVariableNameGivesEmptyText)
{
    const auto set = Parse(L"5.1=", Variables{{L"D", L"x"}});
    ASSERT_EQ(set.Records.size(), 1u);
    EXPECT_EQ(set.Records[0].Type, 5);
    EXPECT_EQ(set.Records[0].Text, L"");
}

// --- writing a text into a host column ------------------------------------------------------------

class ColumnText : public sim::StandInTest {};

TEST_F(ColumnText, WithoutFormatSetsLineZeroOfTheTextObject)
{
    sim::SpcColumn column(velmar(), "col", {L"old", L"second"});
    SpcColumnSetString(column.Ptr(), L"Болт M8", false);
    EXPECT_EQ(column.Lines(), (std::vector<std::wstring>{L"Болт M8", L"second"}));
    EXPECT_EQ(column.WholeString(), L"");
    EXPECT_EQ(journal().Lines(), (std::vector<std::string>{"col#19(&)", "colText#19(&)", "colText#20(0,\"Болт M8\")"}));
}

TEST_F(ColumnText, WithoutFormatLeavesATextWithoutLinesAlone)
{
    sim::SpcColumn column(velmar(), "col", {});
    EXPECT_NO_THROW(SpcColumnSetString(column.Ptr(), L"Bolt M8", false));
    EXPECT_TRUE(column.Lines().empty());
    EXPECT_EQ(journal().Lines(), (std::vector<std::string>{"col#19(&)", "colText#19(&)"}));
}

TEST_F(ColumnText, WithFormatGivesTheWholeStringAndLeavesTheLines)
{
    sim::SpcColumn column(velmar(), "col", {L"old"});
    SpcColumnSetString(column.Ptr(), L"Bolt M8", true);
    EXPECT_EQ(column.WholeString(), L"Bolt M8");
    EXPECT_EQ(column.Lines(), (std::vector<std::wstring>{L"old"}));
    EXPECT_EQ(journal().Lines(), (std::vector<std::string>{"col#7(\"Bolt M8\")"}));
}

TEST_F(ColumnText, ColumnWithoutTheWholeStringInterfaceFailsWithEPointer)
{
    sim::SpcColumn column(velmar(), "col", {L"old"}, false);
    try {
        SpcColumnSetString(column.Ptr(), L"Bolt M8", true);
        FAIL() << "no failure";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), E_POINTER);
    }
    EXPECT_EQ(column.Lines(), (std::vector<std::wstring>{L"old"}));
    EXPECT_TRUE(journal().Lines().empty());
}

TEST_F(ColumnText, HostFailuresArriveAsComErrors)
{
    sim::SpcColumn column(velmar(), "col", {L"old"});
    velmar().Faults().FailMember("colText#20", E_FAIL, 1);
    try {
        SpcColumnSetString(column.Ptr(), L"new", false);
        FAIL() << "no failure";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), E_FAIL);
    }
    EXPECT_EQ(column.Lines(), (std::vector<std::wstring>{L"old"}));

    velmar().Faults().FailMember("col#7", E_OUTOFMEMORY, 1);
    EXPECT_THROW(SpcColumnSetString(column.Ptr(), L"new", true), _com_error);
    EXPECT_EQ(column.WholeString(), L"");

    velmar().Faults().FailQuery("col", __uuidof(IVel7SpcColumnString), E_UNEXPECTED);
    EXPECT_THROW(SpcColumnSetString(column.Ptr(), L"new", true), _com_error);
}

TEST_F(ColumnText, NoColumnFailsWithEPointerInBothModes)
{
    for (bool useFmt : {false, true}) {
        try {
            SpcColumnSetString(nullptr, L"x", useFmt);
            FAIL() << "no failure, useFmt " << useFmt;
        } catch (const _com_error& error) {
            EXPECT_EQ(error.Error(), E_POINTER);
        }
    }
}

TEST_F(ColumnText, TracesTheTextAndTheMode)
{
    sim::SpcColumn column(velmar(), "col", {L""});
    TraceLog log(L"test", false);
    SpcColumnSetString(column.Ptr(), L"a\nb", true);
    EXPECT_NE(log.Text().find(L"{SpcColumnSetString"), std::wstring::npos) << log.Text();
    EXPECT_NE(log.Text().find(L"aStr=\"a\\nb\""), std::wstring::npos) << log.Text();
    EXPECT_NE(log.Text().find(L"UseFmt=1"), std::wstring::npos) << log.Text();
}
