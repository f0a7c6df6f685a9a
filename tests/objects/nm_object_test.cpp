#include "objects/nm_object.h"

#include "core/data_convert_error.h"
#include "core/trace_log.h"
#include "objects/bad_response.h"
#include "support/response_xml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace response_xml;
using testing::HasSubstr;

namespace {

// Counts the three state operations; each may leave a new state behind.
class CountingObject : public NMObject {
public:
    CountingObject() : NMObject(reinterpret_cast<HWND>(0x1234), nullptr) {}
    void Insert() override { ++inserts; state = stateAfter; }
    void Edit() override { ++edits; state = stateAfter; }
    void Replace() override { ++replaces; state = stateAfter; }

    uint32_t stateAfter = 0;
    int inserts = 0;
    int edits = 0;
    int replaces = 0;
};

// Loads a response made of one "Method" object with the given attributes.
void Load(NMObject& object, const std::vector<Attr>& attrs)
{
    auto document = std::make_shared<pugi::xml_document>();
    LoadXmlFromBstr(_bstr_t(Response(Object(L"Method", attrs)).c_str()), *document);
    object.loadPartData(document->child(L"response").child(L"objectcollection"), document);
}

std::wstring LoadFailure(NMObject& object, const std::vector<Attr>& attrs)
{
    try {
        Load(object, attrs);
    } catch (const BadResponse& e) {
        return e.Reason();
    }
    return L"(loaded)";
}

const Attr Designation{L"Designation", L"Винт"};

} // namespace

TEST(NMObject, ReadsIdentityTextsWithBackslashPaths)
{
    CountingObject object;
    Load(object, {{L"NM_IID", L"PART:SCREW[5]"},
                  {L"URL", L"lib/std/screws/"},
                  {L"MethodBody", L"scripts/screw.vbs"},
                  {L"Quarvend_IID", L"7:8"},
                  Designation});
    ASSERT_TRUE(object.pData);
    EXPECT_EQ(object.NM_ID, L"PART:SCREW[5]");
    EXPECT_EQ(object.NM_Path, L"lib\\std\\screws\\");
    EXPECT_EQ(object.NM_Body, L"scripts\\screw.vbs");
    EXPECT_EQ(object.NM_QuarvendID, L"7:8");
    EXPECT_EQ(object.NM_Name, L"Винт");
    EXPECT_EQ(object.NM_FileName, L"");
    EXPECT_EQ(object.state, 0u);
}

TEST(NMObject, MissingLocationFailsBeforeAnyIdentityChanges)
{
    for (const std::wstring& id : {std::wstring(L"NULL_VALUE"), std::wstring(L""), std::wstring(L"   ")}) {
        CountingObject object;
        object.state = 1;
        object.NM_ID = L"old id";
        object.NM_Path = L"old\\";
        object.NM_Body = L"old.vbs";
        object.NM_QuarvendID = L"1:2";
        EXPECT_EQ(LoadFailure(object, {{L"NM_IID", id}, {L"URL", L"new/"}, {L"MethodBody", L"new.vbs"},
                                       {L"Quarvend_IID", L"3:4"}, Designation}),
                  L"No location");
        EXPECT_EQ(object.NM_ID, L"old id");
        EXPECT_EQ(object.NM_Path, L"old\\");
        EXPECT_EQ(object.NM_Body, L"old.vbs");
        EXPECT_EQ(object.NM_QuarvendID, L"1:2");
        EXPECT_EQ(object.NM_Name, L"");
        EXPECT_EQ(object.state, 1u);
    }
    CountingObject absent;
    EXPECT_EQ(LoadFailure(absent, {Designation}), L"No location");
}

TEST(NMObject, MissingDesignationFailsLastWithTheIdentityAlreadyRead)
{
    CountingObject object;
    object.state = 1;
    object.NM_Body = L"x.vbs";
    EXPECT_EQ(LoadFailure(object, {{L"NM_IID", L"A"}, {L"MethodBody", L"y.vbs"}, {L"Designation", L"NULL_VALUE"}}),
              L"No designation");
    EXPECT_EQ(object.NM_ID, L"A");
    EXPECT_EQ(object.NM_Body, L"y.vbs");
    EXPECT_EQ(object.state, 2u);
}

TEST(NMObject, MissingUrlKeepsThePathAndMissingBodyEmptiesIt)
{
    CountingObject object;
    object.NM_Path = L"kept\\";
    object.NM_Body = L"gone.vbs";
    object.NM_QuarvendID = L"gone";
    Load(object, {{L"NM_IID", L"A"}, {L"URL", L"NULL_VALUE"}, Designation});
    EXPECT_EQ(object.NM_Path, L"kept\\");
    EXPECT_EQ(object.NM_Body, L"");
    EXPECT_EQ(object.NM_QuarvendID, L"");
}

TEST(NMObject, EditedObjectWithAnotherBodyBecomesAReplacement)
{
    struct Case {
        uint32_t state;
        std::wstring storedBody;
        std::wstring id;
        std::wstring body;  // empty: no "MethodBody" at all
        uint32_t expected;
    };
    const Case cases[] = {
        {1, L"x.vbs", L"A", L"y.vbs", 2},
        {1, L"x.vbs", L"A", L"x.vbs", 1},
        {1, L"dir\\x.vbs", L"A", L"dir/x.vbs", 1},   // compared after the separators are turned
        {1, L"ELEMENT-7", L"ELEMENT-7", L"hole.vbs", 1},  // an element keeps its identity in the body
        {1, L"x.vbs", L"A", L"", 1},
        {0, L"x.vbs", L"A", L"y.vbs", 0},
        {2, L"x.vbs", L"A", L"x.vbs", 2},
    };
    for (const Case& c : cases) {
        CountingObject object;
        object.state = c.state;
        object.NM_Body = c.storedBody;
        std::vector<Attr> attrs{{L"NM_IID", c.id}, Designation};
        if (!c.body.empty())
            attrs.push_back({L"MethodBody", c.body});
        Load(object, attrs);
        EXPECT_EQ(object.state, c.expected) << c.storedBody << L" -> " << c.body;
    }
}

TEST(NMObject, ApplyRunsTheOperationOfTheStateAndReportsTheStateLeft)
{
    CountingObject inserted;
    inserted.stateAfter = 5;
    EXPECT_EQ(inserted.Apply(), 5u);
    EXPECT_EQ(inserted.inserts, 1);

    CountingObject edited;
    edited.state = 1;
    edited.stateAfter = 1;
    EXPECT_EQ(edited.Apply(), 1u);
    EXPECT_EQ(edited.edits, 1);

    CountingObject replaced;
    replaced.state = 2;
    replaced.stateAfter = 0;
    EXPECT_EQ(replaced.Apply(), 0u);
    EXPECT_EQ(replaced.replaces, 1);

    CountingObject unknown;
    unknown.state = 3;
    EXPECT_EQ(unknown.Apply(), 3u);
    EXPECT_EQ(unknown.inserts + unknown.edits + unknown.replaces, 0);

    NMObject base(nullptr, nullptr);
    EXPECT_EQ(base.Apply(), 0u);
}

TEST(NMObject, ReplacementAfterLoadRunsReplace)
{
    CountingObject object;
    object.state = 1;
    object.NM_Body = L"x.vbs";
    object.stateAfter = 2;
    Load(object, {{L"NM_IID", L"A"}, {L"MethodBody", L"y.vbs"}, Designation});
    EXPECT_EQ(object.Apply(), 2u);
    EXPECT_EQ(object.replaces, 1);
    EXPECT_EQ(object.edits, 0);
}

TEST(NMObject, PartKeyIsTheTextBetweenPartPrefixAndBracket)
{
    NMObject object(nullptr, nullptr);
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"PART:ABC[1]", L"ABC"}, {L"PART:ABC", L""},     {L"XPART:ABC[1]", L""},
        {L"PART:[1]", L""},       {L"part:ABC[1]", L""},  {L"PART:A[B[1]", L"A"},
        {L"PART", L""},           {L"", L""},
    };
    for (const auto& [id, key] : cases) {
        object.NM_ID = id;
        EXPECT_EQ(object.GetPartKey(), key) << id;
    }
}

TEST(NMObject, SingleObjectDescriptionLoadsWithItsQuarvendIdentity)
{
    CountingObject object;
    auto document = std::make_shared<pugi::xml_document>();
    LoadXmlFromBstr(_bstr_t(Object(L"12", {}, Object(L"Designation", {{L"Value", L"Шайба"}}), L"34").c_str()),
                    *document);
    object.loadObjectData(document->child(L"object"), document);
    EXPECT_EQ(object.NM_ID, L"12:34");
    EXPECT_EQ(object.NM_QuarvendID, L"12:34");
    EXPECT_EQ(object.NM_Name, L"Шайба");
}

TEST(NMObject, PartDataFailureLeavesTheObjectWithoutPartData)
{
    CountingObject object;
    auto document = std::make_shared<pugi::xml_document>();
    LoadXmlFromBstr(_bstr_t(Response(Object(L"Method", {}, Object(L"PartAttrs", {{L"Hole", L"1"}})) +
                                     Object(L"AssyPartsMethods", {}, Object(L"PartMethod")))
                                .c_str()),
                    *document);
    EXPECT_THROW(object.loadPartData(document->child(L"response").child(L"objectcollection"), document),
                 DataConvertError);
    EXPECT_FALSE(object.pData);
}

TEST(NMObject, ReadingAndApplyingAreTraced)
{
    TraceLog log(L"test", false);
    CountingObject object;
    Load(object, {{L"NM_IID", L"A"}, {L"URL", L"u"}, Designation});
    object.Apply();
    EXPECT_THAT(log.Text(), HasSubstr(L"{NMObject::ReadObjData\r\n\t\tpData=0x"));
    EXPECT_THAT(log.Text(), HasSubstr(L"NM_ID=\"A\"\r\n\t\tNM_Path=\"u\"\r\n\t\tstate=0\r\n\t\tstate=0\r\n\t\tNM_Body=\"\""));
    EXPECT_THAT(log.Text(), HasSubstr(L"{NMObject::Apply\r\n\tstate=0\r\n\tstate=0\r\n"));
}
