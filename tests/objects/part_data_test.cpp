#include "objects/part_data.h"

#include "core/data_convert_error.h"
#include "core/trace_log.h"
#include "support/response_xml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

using namespace response_xml;
using testing::HasSubstr;

namespace {

std::shared_ptr<pugi::xml_document> Parse(const std::wstring& text)
{
    auto document = std::make_shared<pugi::xml_document>();
    _bstr_t bstr(text.c_str());
    LoadXmlFromBstr(bstr, *document);
    return document;
}

// The response's object collection, read into part data.
NMPartData ReadCollection(const std::wstring& objects)
{
    const auto document = Parse(Response(objects));
    return NMPartData(document->child(L"response").child(L"objectcollection"), document);
}

std::wstring ParseFailure(BSTR text)
{
    pugi::xml_document document;
    try {
        LoadXmlFromBstr(text, document);
    } catch (const std::wstring& message) {
        return message;
    }
    return L"(parsed)";
}

} // namespace

TEST(PartData, AttributeRepeatedOrMetAgainInALaterClassKeepsTheLaterValue)
{
    const NMPartData data = ReadCollection(
        Object(L"MethodParameters", {{L"D", L"8"}, {L"D", L"10"}}) +
        Object(L"BaseRoles", {{L"URL", L"roles/"}, {L"Designation", L"B"}}) +
        Object(L"Method", {{L"URL", L"method/"}, {L"Designation", L"A"}, {L"NM_IID", L"1"}}) +
        Object(L"SpecialSpecificationParameters", {{L"Designation", L"S"}}) +
        Object(L"ExternalParameters", {{L"NM_IID", L"2"}}));
    EXPECT_EQ(data.Params, (Variables{{L"D", L"10"}}));
    // Reading order is by class (Method, External, Additional, BaseRoles, Special...), not by document order.
    EXPECT_EQ(data.ObjData.at(L"URL"), L"roles/");
    EXPECT_EQ(data.ObjData.at(L"Designation"), L"S");
    EXPECT_EQ(data.ObjData.at(L"NM_IID"), L"2");
    EXPECT_TRUE(data.Members.empty());
}

TEST(PartData, OnlyTheFirstObjectOfAClassIsReadAndEmptyValuesAreKept)
{
    const NMPartData data = ReadCollection(Object(L"Method", {{L"A", L""}, {L"B", L"1"}}) +
                                           Object(L"Method", {{L"C", L"3"}}) +
                                           Object(L"method", {{L"D", L"4"}}) +
                                           Object(L"Unknown", {{L"E", L"5"}}));
    EXPECT_EQ(data.ObjData, (Variables{{L"A", L""}, {L"B", L"1"}}));
    EXPECT_TRUE(data.Params.empty());
}

TEST(PartData, TextIsTheFirstTextOrCdataChildAndMissingElementsReadEmpty)
{
    const auto document = Parse(
        L"<response><objectcollection><object><classid><![CDATA[Method]]></classid><attributecollection>"
        L"<attribute><name>URL</name><value><![CDATA[a<b>]]></value></attribute>"
        L"<attribute><name>NoValue</name></attribute>"
        L"<attribute><value>nameless</value></attribute>"
        L"<attribute><name>Entity</name><value>x&amp;y&#1053;</value></attribute>"
        L"</attributecollection></object></objectcollection></response>");
    const NMPartData data(document->child(L"response").child(L"objectcollection"), document);
    EXPECT_EQ(data.ObjData, (Variables{{L"URL", L"a<b>"}, {L"NoValue", L""}, {L"", L"nameless"},
                                       {L"Entity", L"x&y\u041D"}}));
}

TEST(PartData, TechnologicalParametersSkipNullValuesAndKeepOnlyPairs)
{
    const NMPartData data = ReadCollection(Object(
        L"SpecialTechnoParameters", {{L"NameKE", L"Резьба"},
                                     {L"NameKE", L"NULL_VALUE"},
                                     {L"LocationUTS", L"  "},
                                     {L"ParamsKE", L"a|1||b|2||len|x|y||len||dia|"},
                                     {L"ParamsKE", L""},
                                     {L"Other", L"q|1"}}));
    EXPECT_EQ(data.NameKE, L"Резьба");
    EXPECT_EQ(data.LocationUTS, L"");
    EXPECT_EQ(data.Tech, (Variables{{L"a", L"1"}, {L"b", L"2"}, {L"dia", L""}}));
    EXPECT_TRUE(data.ObjData.empty());
}

TEST(PartData, FastenerSetMembersPairWithMethodObjectsByPosition)
{
    const std::wstring member1 = Object(L"PartMethod", {}, Object(L"Method", {{L"MethodBody", L"bolt.vbs"}}));
    const std::wstring member2 = Object(L"PartMethod", {}, Object(L"Method", {{L"MethodBody", L"nut.vbs"}}));
    const std::wstring layouts =
        Object(L"PartAttrs", {{L"Index", L"1"}, {L"Distance", L"2,5"}, {L"Orientation", L"TRUE"}}) +
        Object(L"PartAttrs", {{L"Index", L"99"}}) +
        Object(L"PartAttrs", {{L"Index", L"3"}, {L"Width", L"4.5"}, {L"PartType", L"-2"},
                              {L"Hole", L"true"}, {L"OnPacket", L"false"}, {L"Index", L"4"}, {L"Color", L"x"}});
    const NMPartData data = ReadCollection(Object(L"Method", {{L"NM_IID", L"SET"}}, layouts) +
                                           Object(L"AssyPartsMethods", {}, member1 + Object(L"Spacer") + member2));
    ASSERT_EQ(data.Members.size(), 2u);
    EXPECT_EQ(data.Members[0].m_methodBody, L"bolt.vbs");
    EXPECT_EQ(data.Members[0].m_attrs.Index, 1);
    EXPECT_DOUBLE_EQ(data.Members[0].m_attrs.Distance, 2.5);
    EXPECT_TRUE(data.Members[0].m_attrs.Orientation);
    // The second member sits at the third position and takes the third layout, not the second.
    const NMTCSData& second = data.Members[1].m_attrs;
    EXPECT_EQ(data.Members[1].m_methodBody, L"nut.vbs");
    EXPECT_EQ(second.Index, 4);
    EXPECT_DOUBLE_EQ(second.Width, 4.5);
    EXPECT_EQ(second.PartType, -2);
    EXPECT_TRUE(second.Hole);
    EXPECT_FALSE(second.OnPacket);
    EXPECT_EQ(std::wstring(data.Members[1].m_node.name()), L"objectcollection");
    EXPECT_EQ(XmlText(data.Members[1].m_node.child(L"object").child(L"classid")), L"Method");
}

TEST(PartData, MemberWithoutAPartAttrsPartnerKeepsZeroLayout)
{
    const NMPartData data = ReadCollection(
        Object(L"Method", {}, Object(L"Other", {{L"Index", L"5"}})) +
        Object(L"AssyPartsMethods", {}, Object(L"PartMethod") + Object(L"PartMethod", {}, Object(L"Method"))));
    ASSERT_EQ(data.Members.size(), 2u);
    for (const NMAssmPart& member : data.Members) {
        EXPECT_EQ(member.m_methodBody, L"");
        EXPECT_EQ(member.m_attrs.Index, 0);
        EXPECT_EQ(member.m_attrs.PartType, 0);
        EXPECT_EQ(member.m_attrs.Distance, 0.0);
        EXPECT_EQ(member.m_attrs.Width, 0.0);
        EXPECT_FALSE(member.m_attrs.Orientation || member.m_attrs.Hole || member.m_attrs.OnPacket);
    }
    EXPECT_FALSE(data.Members[0].m_node);  // the first member lists no collection of its own
}

TEST(PartData, MemberLayoutThatDoesNotConvertFailsTheWholeConstruction)
{
    const auto read = [](const std::wstring& name, const std::wstring& value) {
        try {
            ReadCollection(Object(L"Method", {}, Object(L"PartAttrs", {{name, value}})) +
                           Object(L"AssyPartsMethods", {}, Object(L"PartMethod")));
        } catch (const DataConvertError& e) {
            return e.function + L"(" + e.value + L")";
        }
        return std::wstring(L"(read)");
    };
    EXPECT_EQ(read(L"Orientation", L"1"), L"StrToBool(1)");
    EXPECT_EQ(read(L"Hole", L"yes"), L"StrToBool(yes)");
    // A text that is no integer at all is reported by the 64-bit reader underneath.
    EXPECT_EQ(read(L"Index", L"1.5"), L"StrToInt64(1.5)");
    EXPECT_EQ(read(L"PartType", L"99999999999"), L"StrToInt32(99999999999)");
    EXPECT_EQ(read(L"Distance", L"abc"), L"StrToDouble(abc)");
    EXPECT_EQ(read(L"Width", L""), L"StrToDouble()");
}

TEST(PartData, MembersKeepTheirDocumentAliveAfterTheParserLetsGo)
{
    auto document = Parse(Response(Object(L"AssyPartsMethods", {},
                                          Object(L"PartMethod", {}, Object(L"Method", {{L"MethodBody", L"b"}})))));
    std::vector<NMAssmPart> members;
    {
        const NMPartData data(document->child(L"response").child(L"objectcollection"), document);
        members = data.Members;
    }
    std::weak_ptr<pugi::xml_document> watch = document;
    document.reset();
    ASSERT_FALSE(watch.expired());
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(XmlAttributeValue(members[0].m_node.child(L"object"), L"MethodBody"), L"b");
    members.clear();
    EXPECT_TRUE(watch.expired());
}

TEST(PartData, SingleObjectGivesQuarvendIdentityAndGroupValues)
{
    const std::wstring specification = Object(L"Specification", {{L"Value", L"ignored"}},
                                              Object(L"spcSection", {{L"Value", L"Детали"}}) +
                                                  Object(L"Note", {{L"Other", L"x"}}));
    const std::wstring mcc = Object(L"MCC", {}, Object(L"MACC", {{L"Value", L"12"}}));
    const std::wstring material = Object(L"MATERIAL", {}, Object(L"Mat", {{L"Value", L"Сталь"}}) +
                                                             Object(L"MACC", {{L"Value", L"group"}}));
    const auto document = Parse(Object(L"12", {{L"Designation", L"own attribute"}},
                                       Object(L"MACC", {{L"Value", L"own"}}) + specification + mcc + material,
                                       L"345"));
    const NMPartData data(document->child(L"object"), document);
    EXPECT_EQ(data.ObjData, (Variables{{L"Quarvend_IID", L"12:345"},
                                       {L"NM_IID", L"12:345"},
                                       {L"spcSection", L"Детали"},
                                       {L"Note", L""},
                                       {L"Mat", L"Сталь"},
                                       {L"MACC", L"own"},  // the object's own list is read last
                                       {L"Specification", L"ignored"},
                                       {L"MCC", L""},
                                       {L"MATERIAL", L""}}));
    EXPECT_TRUE(data.Params.empty());
}

TEST(PartData, SingleObjectWithoutCollectionsStillHasItsIdentity)
{
    const auto document = Parse(L"<object><classid>C</classid><objectid>O</objectid></object>");
    const NMPartData data(document->child(L"object"), document);
    EXPECT_EQ(data.ObjData, (Variables{{L"Quarvend_IID", L"C:O"}, {L"NM_IID", L"C:O"}}));
}

TEST(PartData, ScriptHeaderIsTheConstantBlockThenParametersInCodeUnitOrder)
{
    const NMPartData data = ReadCollection(Object(
        L"MethodParameters",
        {{L"a", L"1"}, {L"L", L"2,5"}, {L"B", L"1,2,3"}, {L"S", L"\"a,b\""}, {L"T", L"'c,d'"}, {L"E", L""}}));
    const std::wstring header = data.GetScriptHeader();
    ASSERT_GE(header.size(), 300u);
    const std::wstring constants = header.substr(0, 300);
    EXPECT_EQ(constants.substr(0, 22), L"const GCV_FRONT = 1\r\n ");
    EXPECT_EQ(constants.substr(300 - 23), L" const NULL_VALUE = 0\r\n");
    EXPECT_EQ(std::count(constants.begin(), constants.end(), L'\n'), 14);
    EXPECT_EQ(header.substr(300), L"B=1.2.3\r\nE=\r\nL=2.5\r\nS=\"a,b\"\r\nT='c,d'\r\na=1\r\n");
}

TEST(PartData, ScriptHeaderWithoutParametersIsTheConstantsAlone)
{
    const NMPartData data = ReadCollection(Object(L"Method", {{L"NM_IID", L"1"}}));
    EXPECT_EQ(data.GetScriptHeader().size(), 300u);
}

TEST(PartData, LookupsMatchExactlyAndTraceWhatTheyFound)
{
    const auto document = Parse(Response(Object(L"Method", {{L"Name", L"1"}, {L"name", L"2"}, {L"Name", L"3"}})));
    const pugi::xml_node collection = document->child(L"response").child(L"objectcollection");
    TraceLog log(L"test", false);
    const pugi::xml_node method = NMPartData::getObjectByClassID(collection, L"Method");
    ASSERT_TRUE(method);
    EXPECT_FALSE(NMPartData::getObjectByClassID(collection, L"METHOD"));
    EXPECT_FALSE(NMPartData::getObjectByClassID(pugi::xml_node(), L"Method"));
    const pugi::xml_node attributes = method.child(L"attributecollection");
    EXPECT_EQ(XmlText(NMPartData::getAttributeByName(attributes, L"Name").child(L"value")), L"1");
    EXPECT_EQ(XmlText(NMPartData::getAttributeByName(attributes, L"name").child(L"value")), L"2");
    // Only an attribute collection is searched for attributes.
    EXPECT_FALSE(NMPartData::getAttributeByName(method, L"Name"));
    EXPECT_THAT(log.Text(), HasSubstr(L"classID=\"Method\"\r\n\tFound\r\n"));
    EXPECT_THAT(log.Text(), HasSubstr(L"classID=\"METHOD\"\r\n\tNot found\r\n"));
    EXPECT_THAT(log.Text(), HasSubstr(L"name=\"name\"\r\n\tFound\r\n"));
}

TEST(PartData, ReadingTracesEachVariable)
{
    TraceLog log(L"test", false);
    ReadCollection(Object(L"Method", {{L"NM_IID", L"7"}}));
    EXPECT_THAT(log.Text(), HasSubstr(L"{NMPartData::loadPartData"));
    EXPECT_THAT(log.Text(), HasSubstr(L"var=\"NM_IID=7\""));
}

TEST(LoadXmlFromBstr, MalformedTextThrowsTheParserDescription)
{
    EXPECT_EQ(ParseFailure(_bstr_t(L"<response><a></b></response>")), L"Start-end tags mismatch");
    EXPECT_EQ(ParseFailure(_bstr_t(L"<response")), L"Error parsing start element tag");
    EXPECT_EQ(ParseFailure(_bstr_t(L"just text")), L"No document element found");
}

TEST(LoadXmlFromBstr, NullOrEmptyTextHasNoDocumentElement)
{
    EXPECT_EQ(ParseFailure(nullptr), L"No document element found");
    EXPECT_EQ(ParseFailure(_bstr_t(L"")), L"No document element found");
}

TEST(LoadXmlFromBstr, ResetsTheDocumentBeforeParsing)
{
    pugi::xml_document document;
    LoadXmlFromBstr(_bstr_t(L"<old/>"), document);
    EXPECT_THROW(LoadXmlFromBstr(_bstr_t(L"<new>"), document), std::wstring);
    EXPECT_FALSE(document.child(L"old"));
    LoadXmlFromBstr(_bstr_t(L"<new/>"), document);
    EXPECT_TRUE(document.child(L"new"));
    EXPECT_FALSE(document.child(L"old"));
}
