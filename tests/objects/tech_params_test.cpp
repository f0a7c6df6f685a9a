// The part's technological data as the element and parameter attributes of "corvalis.lat".
#include "objects/tech_params.h"

#include "core/scratch_folder.h"
#include "spc_stand_in.h"

#include <gtest/gtest.h>

using namespace spc_test;
using Texts = std::vector<std::wstring>;

namespace {

class TechParams : public SpcStandIn {
protected:
    std::unique_ptr<TestVelObj> Part(const std::wstring& location, Variables tech = {})
    {
        Open();
        velmar().SetSystemFolder(folder_.Path().substr(0, folder_.Path().size() - 1));
        auto part = MakePart();
        part->pData->NameKE = L"Отверстие";
        part->pData->LocationUTS = location;
        part->pData->Tech = std::move(tech);
        journal().Clear();
        return part;
    }
    void WriteLibrary() { ASSERT_TRUE(WriteFileBytes(folder_ / L"corvalis.lat", "attributes")); }
    std::wstring Library() { return folder_ / L"corvalis.lat"; }

    static Texts TextsOf(const TechAttrValues& values)
    {
        Texts texts;
        for (const auto& value : values) {
            texts.push_back(value.text);
            EXPECT_EQ(value.flag, 1);
        }
        return texts;
    }

    ScratchFolder folder_;
};

} // namespace

TEST(TechParamText, IsTypedFromTheTrimmedRawValue)
{
    EXPECT_EQ(ClassifyTechParam(L"\"M8\""), (TechParamText{L"string", L"M8"}));
    EXPECT_EQ(ClassifyTechParam(L"  \"M8\" "), (TechParamText{L"string", L"M8"}));
    // Only quotes around the whole value come off; any other quote is part of the text.
    EXPECT_EQ(ClassifyTechParam(L"a\"b"), (TechParamText{L"string", L"a\"b"}));
    EXPECT_EQ(ClassifyTechParam(L"G1/2\""), (TechParamText{L"string", L"G1/2\""}));
    EXPECT_EQ(ClassifyTechParam(L"1\""), (TechParamText{L"string", L"1\""}));
    EXPECT_EQ(ClassifyTechParam(L"M8 \"fine\""), (TechParamText{L"string", L"M8 \"fine\""}));
    EXPECT_EQ(ClassifyTechParam(L"\""), (TechParamText{L"string", L""}));
    EXPECT_EQ(ClassifyTechParam(L"\"\""), (TechParamText{L"string", L""}));
    EXPECT_EQ(ClassifyTechParam(L"TRUE"), (TechParamText{L"boolean", L"TRUE"}));
    EXPECT_EQ(ClassifyTechParam(L"fAlSe"), (TechParamText{L"boolean", L"fAlSe"}));
    EXPECT_EQ(ClassifyTechParam(L"0.5"), (TechParamText{L"float", L"0,5"}));
    EXPECT_EQ(ClassifyTechParam(L"1.2.3"), (TechParamText{L"float", L"1,2,3"}));
    EXPECT_EQ(ClassifyTechParam(L"truely"), (TechParamText{L"float", L"truely"}));
    EXPECT_EQ(ClassifyTechParam(L""), (TechParamText{}));
    EXPECT_EQ(ClassifyTechParam(L"   "), (TechParamText{}));
}

TEST_F(TechParams, WithoutTheAttributeLibraryNothingIsWrittenOrRemoved)
{
    auto part = Part(L"A1", {{L"d", L"5"}});
    part->SaveTechParams();
    part->clearTechParams();
    EXPECT_TRUE(part->created.empty());
    EXPECT_TRUE(part->deleted.empty());
    EXPECT_EQ(journal().Lines(), (Lines{"app5.47(\"corvalis.lat\",0)", "app5.47(\"corvalis.lat\",0)"}));
}

TEST_F(TechParams, WithoutALocationNothingIsWrittenEvenWithParameters)
{
    auto part = Part(L"", {{L"d", L"5"}});
    WriteLibrary();
    part->SaveTechParams();
    EXPECT_TRUE(part->created.empty());
    EXPECT_EQ(journal().Lines(), (Lines{"app5.47(\"corvalis.lat\",0)", "app5.43()"}));
}

TEST_F(TechParams, ALocationWithoutParametersWritesTheElementAttributeOnly)
{
    auto part = Part(L"A1");
    WriteLibrary();
    part->SaveTechParams();
    ASSERT_EQ(part->created.size(), 1u);
    EXPECT_EQ(part->created[0].type, 306592339351.0);
    EXPECT_EQ(TextsOf(part->created[0].values), (Texts{L"Отверстие", L"A1"}));
    EXPECT_EQ(part->created[0].library, Library());
    EXPECT_TRUE(part->created[0].withManager);
}

TEST_F(TechParams, ParametersFollowInNameOrderAsNameValueAndType)
{
    auto part = Part(L"A1", {{L"b", L"1.5"}, {L"B", L"\"M8\""}, {L"a", L" true "}, {L"c", L""}});
    WriteLibrary();
    part->SaveTechParams();
    ASSERT_EQ(part->created.size(), 2u);
    EXPECT_EQ(part->created[1].type, 303357685861.0);
    EXPECT_EQ(TextsOf(part->created[1].values), (Texts{L"B", L"M8", L"string", L"a", L"true", L"boolean", L"b", L"1,5",
                                                       L"float", L"c", L"", L""}));
    EXPECT_EQ(part->created[1].library, Library());
}

TEST_F(TechParams, ClearingRemovesBothAttributesWhenTheLibraryExists)
{
    auto part = Part(L"A1");
    WriteLibrary();
    part->clearTechParams();
    ASSERT_EQ(part->deleted.size(), 2u);
    EXPECT_EQ(part->deleted[0].type, 306592339351.0);
    EXPECT_EQ(part->deleted[1].type, 303357685861.0);
    EXPECT_TRUE(part->deleted[1].withManager);
}
