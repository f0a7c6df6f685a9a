// The stand-in reference book: found by the library's CoCreateInstance, connecting as configured,
// answering selections from a queue, recording its set-up options, and its sample responses.
#include "sim/reference_book.h"

#include "hostapi/reference_book.h"
#include "hostapi/vtable_call.h"
#include "objects/part_data.h"
#include "sim/sample_responses.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {

class ReferenceBook : public sim::StandInTest {
protected:
    void TearDown() override
    {
        EXPECT_EQ(book_->PendingSelectAnswers(), 0u);
        book_.reset();
        StandInTest::TearDown();
    }

    sim::ReferenceBook& book() { return *book_; }

    // As the library creates its provider: class context 0x17, the running state, then INMClient.
    INMClientPtr CreateProvider()
    {
        IUnknownPtr object;
        EXPECT_EQ(CoCreateInstance(CLSID_BOSimpleProvider, nullptr, 0x17, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
        if (!object)
            return nullptr;
        EXPECT_EQ(OleRun(object), S_OK);
        return QueryHost<INMClient>(object);
    }

    static std::wstring XmlOf(INMResponse* response) { return std::wstring(V7Get(response, &INMResponse::get_Xml)); }

    std::unique_ptr<sim::ReferenceBook> book_ = std::make_unique<sim::ReferenceBook>(velmar().GetSession());
};

std::unique_ptr<NMPartData> PartDataOf(const std::wstring& xml, pugi::xml_document& document)
{
    const _bstr_t text(xml.c_str());
    LoadXmlFromBstr(text, document);
    pugi::xml_node root = document.document_element();
    pugi::xml_node node = std::wstring(root.name()) == L"response" ? root.child(L"objectcollection") : root;
    return std::make_unique<NMPartData>(node);
}

} // namespace

TEST_F(ReferenceBook, TheLibrarysCreateInstanceFindsTheRegisteredProvider)
{
    INMClientPtr provider = CreateProvider();
    ASSERT_NE(provider, nullptr);
    EXPECT_EQ(book().ProvidersCreated(), 1);
    EXPECT_NE(QueryHost<INMObjectInfo>(provider), nullptr);
}

TEST_F(ReferenceBook, NoClassIsRegisteredOnceTheBookIsGone)
{
    book_.reset();
    IUnknown* object = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_BOSimpleProvider, nullptr, 0x17, IID_IUnknown, reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    book_ = std::make_unique<sim::ReferenceBook>(velmar().GetSession());
}

TEST_F(ReferenceBook, ConnectGivesTheConfiguredOutcome)
{
    book().SetConnectOutcome(3, L"Сервер недоступен");
    INMClientPtr provider = CreateProvider();
    _bstr_t text(L"");
    long error = 0;
    ASSERT_EQ(provider->Connect(text.GetAddress(), &error), S_OK);
    EXPECT_EQ(error, 3);
    EXPECT_EQ(std::wstring(text), L"Сервер недоступен");
    VARIANT unused;
    EXPECT_EQ(provider->Disconnect(&unused), S_OK);
    EXPECT_EQ(book().Connects(), 1);
    EXPECT_EQ(book().Disconnects(), 1);
    EXPECT_EQ(journal().Lines(), (Lines{"client#27(&,&)", "client#28(&)"}));
}

TEST_F(ReferenceBook, SetUpOptionsAreRecordedAsSent)
{
    INMClientPtr provider = CreateProvider();
    const _bstr_t instrument(L"Velmar"), version(L"1501"), document(L"3DSolid"), container(L"3"), path(L"C:\\normset.dll");
    ASSERT_EQ(provider->SetInstrumentOptions(instrument, version, document, container, nullptr, 7), S_OK);
    ASSERT_EQ(provider->SetInstrumentOptions(instrument, version, document, container, path, 15), S_OK);
    const auto& sent = book().InstrumentOptionsSent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].documentId, L"3DSolid");
    EXPECT_FALSE(sent[0].extra.has_value());
    EXPECT_EQ(sent[0].mask, 7);
    EXPECT_EQ(sent[1].extra, std::optional<std::wstring>(L"C:\\normset.dll"));
    EXPECT_EQ(journal().Lines().front(), "client#29(\"Velmar\",\"1501\",\"3DSolid\",\"3\",null,7)");
}

TEST_F(ReferenceBook, SelectionsAreAnsweredInOrderAndRecordedWithWhatWasSent)
{
    book().QueueSelect({.command = 257, .params = L"NoInstances", .location = L"[bolt]", .responseXml = L"<response/>"});
    book().QueueSelect({});
    INMClientPtr provider = CreateProvider();

    // In/out strings: what goes in is the caller's, what comes back replaces it.
    long command = 1;
    BSTR params = SysAllocString(L"d=10"), location = SysAllocString(L"");
    INMResponse* raw = nullptr;
    ASSERT_EQ(provider->Select(&command, &params, &location, 4711, &raw), S_OK);
    INMResponsePtr response(raw, false);
    EXPECT_EQ(command, 257);
    EXPECT_STREQ(params, L"NoInstances");
    EXPECT_STREQ(location, L"[bolt]");
    ASSERT_NE(response, nullptr);
    EXPECT_EQ(XmlOf(response), L"<response/>");

    ASSERT_EQ(provider->Select(&command, &params, &location, 4711, &raw), S_OK);
    EXPECT_EQ(raw, nullptr) << "the user chose nothing";
    SysFreeString(params);
    SysFreeString(location);

    const auto& selections = book().Selections();
    ASSERT_EQ(selections.size(), 2u);
    EXPECT_EQ(selections[0].command, 1);
    EXPECT_EQ(selections[0].params, L"d=10");
    EXPECT_EQ(selections[0].ownerWindow, 4711);
    EXPECT_EQ(selections[1].command, 257);
}

TEST_F(ReferenceBook, ASelectionNobodyAnsweredChoosesNothingAndIsRecorded)
{
    INMClientPtr provider = CreateProvider();
    long command = 1;
    _bstr_t params(L""), location(L"");
    INMResponse* raw = reinterpret_cast<INMResponse*>(1);
    ASSERT_EQ(provider->Select(&command, params.GetAddress(), location.GetAddress(), 0, &raw), S_OK);
    EXPECT_EQ(raw, nullptr);
    ASSERT_EQ(book().Selections().size(), 1u);
    EXPECT_FALSE(book().Selections()[0].answered);
}

TEST_F(ReferenceBook, ASelectionCanFail)
{
    sim::SelectAnswer failing;
    failing.result = E_ABORT;
    book().QueueSelect(failing);
    INMClientPtr provider = CreateProvider();
    long command = 1;
    _bstr_t params(L""), location(L"");
    INMResponse* raw = nullptr;
    EXPECT_EQ(provider->Select(&command, params.GetAddress(), location.GetAddress(), 0, &raw), E_ABORT);
    EXPECT_EQ(command, 1);
}

TEST_F(ReferenceBook, TablesAnswerThePositionsOfPlacedPartsAndHotPoints)
{
    book().SetPlacedResponse(L"PART:1", L"<response>1</response>");
    book().SetAttributeText(L"Материал=Сталь");
    book().SetHotPoints(L"1", L"<hotpoints/>");
    book().SetDragResult(L"PART:1", L"<response>2</response>");
    INMClientPtr provider = CreateProvider();

    INMResponsePtr placed = V7Get(provider, &INMClient::PlacedResponse, _bstr_t(L"PART:1"), _bstr_t(L"ВЕЛМАР 2D"));
    EXPECT_EQ(XmlOf(placed), L"<response>1</response>");
    EXPECT_EQ(V7Get(provider, &INMClient::PlacedResponse, _bstr_t(L"PART:2"), _bstr_t(L"ВЕЛМАР 2D")), nullptr);
    EXPECT_EQ(std::wstring(V7Get(provider, &INMClient::AttributeText)), L"Материал=Сталь");
    EXPECT_EQ(_bstr_t(V7Get(provider, &INMClient::HotPoints, _bstr_t(L"1"))), _bstr_t(L"<hotpoints/>"));
    const _variant_t none = V7Get(provider, &INMClient::HotPoints, _bstr_t(L"2"));
    EXPECT_EQ(V_VT(&none), VT_EMPTY);
    EXPECT_EQ(_bstr_t(V7Get(provider, &INMClient::DragParameters, _bstr_t(L"d=12"), _bstr_t(L"ВЕЛМАР 2D"), _bstr_t(L"PART:1"))),
              _bstr_t(L"<response>2</response>"));
}

TEST_F(ReferenceBook, ObjectInformationLeadsFromAnIdentifierToTheObjectsText)
{
    book().SetObjectInfo(L"1204:88312", L"1204", L"88312");
    book().SetObjectXml(L"1204", L"88312", sim::SampleResponse("object_data"));
    auto info = QueryHost<INMObjectInfo>(CreateProvider());
    BSTR classId = nullptr, objectId = nullptr;
    ASSERT_EQ(info->GetObjectInfo(_bstr_t(L"1204:88312"), &classId, &objectId), S_OK);
    const _bstr_t ownedClass(classId, false), ownedObject(objectId, false);
    EXPECT_EQ(std::wstring(ownedClass), L"1204");
    EXPECT_EQ(info->GetObjectInfo(_bstr_t(L"nothing"), &classId, &objectId), E_INVALIDARG);

    IUnknownPtr response = V7Get(info, &INMObjectInfo::ObjectResponse, ownedClass, ownedObject, nullptr);
    auto object = QueryHost<INMObjectResponse>(response);
    ASSERT_NE(object, nullptr);
    pugi::xml_document document;
    auto data = PartDataOf(std::wstring(V7Get(object, &INMObjectResponse::get_Xml)), document);
    EXPECT_EQ(data->ObjData.GetString(L"Quarvend_IID"), L"1204:88312");
}

TEST_F(ReferenceBook, AResponseOffersTheObjectDataInterfaceOnlyWhenAskedTo)
{
    auto plain = book().MakeResponse(L"<response/>");
    auto withData = book().MakeResponse(L"<object/>", true);
    EXPECT_EQ(QueryHost<INMObjectData>(plain->Primary()), nullptr);
    auto data = QueryHost<INMObjectData>(withData->Primary());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::wstring(V7Get(data, &INMObjectData::get_Xml)), L"<object/>");
}

TEST_F(ReferenceBook, SampleResponsesReadAsThePartsTheyDescribe)
{
    struct Sample {
        const char* name;
        const wchar_t* designation;
        const wchar_t* methodEnd;
    };
    const Sample samples[] = {{"component_3d", L"Болт М10-6gx50.58 ГОСТ 7798-70", L".vlm"},
                              {"element_3d", L"Отверстие сквозное 10,5", L".vbs"},
                              {"script_2d", L"Гайка М12-6Н.5 ГОСТ 5915-70", L".vbs"},
                              {"fragment_2d", L"Шайба 8.01.08кп ГОСТ 11371-78", L".lfr"}};
    for (const Sample& sample : samples) {
        pugi::xml_document document;
        auto data = PartDataOf(sim::SampleResponse(sample.name), document);
        EXPECT_EQ(data->ObjData.GetString(L"Designation"), sample.designation) << sample.name;
        EXPECT_TRUE(data->ObjData.HasValue(L"NM_IID")) << sample.name;
        const std::wstring body = data->ObjData.GetString(L"MethodBody");
        EXPECT_EQ(body.substr(body.size() - std::wcslen(sample.methodEnd)), sample.methodEnd) << sample.name;
        EXPECT_TRUE(data->Members.empty()) << sample.name;
    }
}

TEST_F(ReferenceBook, TheFastenerSetSampleHasItsMembersAndHoleWithTheirLayout)
{
    pugi::xml_document document;
    auto data = PartDataOf(sim::SampleResponse("fastener_set_3d"), document);
    EXPECT_EQ(data->ObjData.GetString(L"MethodBody"), L"");
    ASSERT_EQ(data->Members.size(), 4u);
    EXPECT_EQ(data->Members[2].m_methodBody, L"Models\\Nut_5915_M10.vlm");
    EXPECT_EQ(data->Members[2].m_attrs.PartType, 2);
    EXPECT_DOUBLE_EQ(data->Members[2].m_attrs.Width, 8);
    EXPECT_TRUE(data->Members[0].m_attrs.OnPacket);
    EXPECT_TRUE(data->Members[3].m_attrs.Hole);
}

TEST_F(ReferenceBook, AnUnknownSampleIsAnError)
{
    EXPECT_THROW(sim::SampleResponse("no_such_sample"), std::runtime_error);
}
