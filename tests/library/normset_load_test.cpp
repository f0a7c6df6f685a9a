// The controller base's reading of a response: which part it creates for which construction method,
// and which reason each incomplete response ends with.
#include "library/normset.h"

#include "core/trace_log.h"
#include "objects/bad_response.h"
#include "support/response_xml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace response_xml;

namespace {

// Parts alive; a test sees when the controller deletes one.
int g_alive = 0;

class CountedPart : public NMObject {
public:
    CountedPart() : NMObject(nullptr, nullptr) { ++g_alive; }
    ~CountedPart() override { --g_alive; }
    void Insert() override { ++inserts; }

    int inserts = 0;
};

class LoadController : public Normset {
public:
    LoadController() : Normset(reinterpret_cast<HWND>(0x10), nullptr) {}
    void CreatePart(const std::wstring& body) override
    {
        bodies.push_back(body);
        if (createParts)
            CurrentPart = std::make_unique<CountedPart>();
    }
    void CreateSpcPart() override
    {
        ++spcParts;
        if (createParts)
            CurrentPart = std::make_unique<CountedPart>();
    }
    bool Positioning() override { return false; }
    std::wstring Measure() override { return L""; }
    std::wstring SelectParams() override { return L""; }

    std::vector<std::wstring> bodies;
    int spcParts = 0;
    bool createParts = true;
};

XmlDocumentPtr Parse(const std::wstring& text)
{
    auto document = std::make_shared<pugi::xml_document>();
    LoadXmlFromBstr(_bstr_t(text.c_str()), *document);
    return document;
}

std::wstring LoadFailure(LoadController& controller, const std::wstring& text)
{
    try {
        controller.loadPartData(Parse(text));
    } catch (const BadResponse& failure) {
        return failure.Reason();
    }
    return L"(loaded)";
}

const std::vector<Attr> Identity = {{L"NM_IID", L"PART:A[1]"}, {L"Designation", L"A"}};

} // namespace

TEST(NormsetLoad, IncompleteResponsesEndWithTheReasonOfTheirFirstGap)
{
    LoadController controller;
    EXPECT_EQ(LoadFailure(controller, L"<answer/>"), L"No response");
    EXPECT_EQ(LoadFailure(controller, L"<response><objects/></response>"), L"No objects in response");
    EXPECT_EQ(LoadFailure(controller, Response(Object(L"BaseRoles", Identity))), L"No method object");
    EXPECT_EQ(LoadFailure(controller, Response(Object(L"method", Identity))), L"No method object");
    EXPECT_EQ(LoadFailure(controller, Response(Object(L"Method", {{L"Designation", L"A"}}))), L"No location");
    EXPECT_EQ(LoadFailure(controller, Response(Object(L"Method", {{L"NM_IID", L"1"}}))), L"No designation");
    EXPECT_TRUE(controller.bodies.size() == 2u);  // only the last two got as far as creating a part

}

TEST(NormsetLoad, ANullDocumentIsNoResponse)
{
    LoadController controller;
    try {
        controller.loadPartData(nullptr);
        FAIL() << "loaded";
    } catch (const BadResponse& failure) {
        EXPECT_EQ(failure.Reason(), L"No response");
    }
}

TEST(NormsetLoad, MethodBodyChoosesThePartAndAMissingOneMeansAPlainPart)
{
    LoadController controller;
    controller.loadPartData(Parse(PartResponse(L"lib/bolt.vbs")));
    controller.loadPartData(Parse(Response(Object(L"Method", Identity))));
    controller.loadPartData(Parse(Response(Object(L"Method", {Identity[0], Identity[1], {L"MethodBody", L""}}))));
    // A fastener set lists its members: its empty body stays empty.
    controller.loadPartData(Parse(Response(Object(L"Method", Identity) +
                                           Object(L"AssyPartsMethods", {}, Object(L"PartMethod")))));
    EXPECT_EQ(controller.bodies, (std::vector<std::wstring>{L"lib/bolt.vbs", L" ", L" ", L""}));
    ASSERT_TRUE(controller.CurrentPart);
    EXPECT_EQ(controller.CurrentPart->pData->Members.size(), 1u);
    EXPECT_EQ(g_alive, 1);  // every load deleted the part before
}

TEST(NormsetLoad, NoPartCreatedForTheBodyIsABadResponse)
{
    LoadController controller;
    controller.createParts = false;
    EXPECT_EQ(LoadFailure(controller, PartResponse()), L"No part created");
}

TEST(NormsetLoad, PartReadsTheResponsesCollectionAndKeepsItsDocument)
{
    LoadController controller;
    XmlDocumentPtr document = Parse(PartResponse(L"parts/bolt.vbs", L"PART:BOLT[M8]"));
    std::weak_ptr<const pugi::xml_document> watch = document;
    controller.loadPartData(document);
    document.reset();
    ASSERT_TRUE(controller.CurrentPart);
    EXPECT_EQ(controller.CurrentPart->NM_ID, L"PART:BOLT[M8]");
    EXPECT_EQ(controller.CurrentPart->NM_Body, L"parts\\bolt.vbs");
    EXPECT_EQ(controller.CurrentPart->pData->Params.at(L"L"), L"40");
    controller.ClearPart();
    EXPECT_EQ(g_alive, 0);
    EXPECT_TRUE(watch.expired());
}

TEST(NormsetLoad, FailedLoadLeavesNoPartBehind)
{
    LoadController controller;
    controller.loadPartData(Parse(PartResponse()));
    EXPECT_EQ(LoadFailure(controller, L"<response/>"), L"No objects in response");
    EXPECT_FALSE(controller.CurrentPart);
    EXPECT_EQ(g_alive, 0);
}

TEST(NormsetLoad, SingleObjectMakesASpecificationPart)
{
    LoadController controller;
    XmlDocumentPtr document = Parse(L"<stored>" + Object(L"7", {}, Object(L"Designation", {{L"Value", L"Шайба"}}), L"8") +
                                    L"</stored>");
    controller.loadObjectData(document->child(L"stored"), document);
    EXPECT_EQ(controller.spcParts, 1);
    EXPECT_TRUE(controller.bodies.empty());
    ASSERT_TRUE(controller.CurrentPart);
    EXPECT_EQ(controller.CurrentPart->NM_QuarvendID, L"7:8");
    EXPECT_EQ(controller.CurrentPart->NM_Name, L"Шайба");

    controller.createParts = false;
    EXPECT_THROW(controller.loadObjectData(document->child(L"stored"), document), BadResponse);
    EXPECT_FALSE(controller.CurrentPart);
}

TEST(NormsetLoad, ApplyRunsThePartForgetsTheLocationAndStartsTheSelectionAgain)
{
    LoadController controller;
    controller.loadPartData(Parse(PartResponse()));
    controller.state = Normset::StateChosen;
    controller.location = L"PART:OLD[1]";
    TraceLog log(L"test", false);
    EXPECT_EQ(controller.Apply(), 0);
    EXPECT_EQ(static_cast<CountedPart&>(*controller.CurrentPart).inserts, 1);
    EXPECT_EQ(controller.state, Normset::StateSelect);
    EXPECT_EQ(std::wstring(controller.location), L"");
    EXPECT_THAT(log.Text(), testing::HasSubstr(L"{Normset::Apply\r\n"));
    EXPECT_THAT(log.Text(), testing::HasSubstr(L"\tres=0\r\n"));
}

TEST(NormsetLoad, ApplyWithoutAPartIsABadResponse)
{
    LoadController controller;
    EXPECT_THROW(controller.Apply(), BadResponse);
}

TEST(NormsetLoad, DestroyingTheControllerDeletesItsPart)
{
    g_alive = 0;
    TraceLog log(L"test", false);
    {
        LoadController controller;
        controller.loadPartData(Parse(PartResponse()));
        EXPECT_EQ(g_alive, 1);
    }
    EXPECT_EQ(g_alive, 0);
    EXPECT_THAT(log.Text(), testing::HasSubstr(L"{:Normset\r\n"));
    EXPECT_THAT(log.Text(), testing::HasSubstr(L"{~Normset\r\n"));
}
