// The 2D controller against the stand-in drawing: the library object a method body gives, a library
// macro selected in the drawing, the checks and masks by document, the silent replacement, and the insert
// command in a drawing from the reference book to the placed part.
#include "library/velmar_normset_2d.h"

#include "core/modal_seam.h"
#include "core/registry.h"
#include "insert2d/drawing_stand_in.h"
#include "insert2d/nm_velmar_tcs_2d.h"
#include "insert2d/user_data_block.h"
#include "library/command_dispatch.h"
#include "library/command_table.h"
#include "support/library_holds_velmar.h"
#include "objects/main_settings.h"
#include "sim/sample_responses.h"
#include "sim/text_file.h"

#include <filesystem>

using namespace drawing_test;

namespace {

const wchar_t kNotDrawing[] = L"Активный документ не является сборкой, деталью, фрагментом или чертежом.";

class Controller2D : public LibraryHoldsVelmar<DrawingStandIn> {
protected:
    std::unique_ptr<VelmarNormset2D> Make(int32_t docType = 1)
    {
        return std::make_unique<VelmarNormset2D>(App5(), App7(), Client(), 1, docType);
    }
    // A macro with the nut's identity.
    long LibraryMacro()
    {
        const long macro = Drawing().AddMacro();
        Drawing().Find(macro)->block = EncodeUserData({L"Нормсет", L"", L"PART:5915[d=12]", L"Гайка М12", L"nut.vbs"});
        return macro;
    }
};

} // namespace

TEST_F(Controller2D, AMethodBodyChoosesTheLibraryObject)
{
    auto controller = Make();
    struct Row {
        const wchar_t* body;
        const char* made;
        const wchar_t* member = nullptr;   // a set's one member, whose object is made
    };
    for (const Row& row : {Row{L"x.LFR", "fragment"}, Row{L"lib\\x.lfr", "fragment"}, Row{L"x.vbs", "script"},
                           Row{L"x", "script"}, Row{L" ", "script"}, Row{L"", "set"},
                           // A set's member is a script by its body's ending alone, a fragment otherwise.
                           Row{L"", "script", L"x.VBS"}, Row{L"", "fragment", L"x.vbs.lfr"}}) {
        using namespace response_xml;
        if (row.member)
            controller->LoadResponseXml(
                _bstr_t(Response(Object(L"Method", {{L"NM_IID", L"TCS:X"}, {L"MethodBody", row.body}, {L"Designation", L"Комплект"}}) +
                                 Object(L"AssyPartsMethods", {},
                                        Object(L"PartMethod", {}, Object(L"Method", {{L"NM_IID", L"PART:X"}, {L"MethodBody", row.member}, {L"Designation", L"Болт"}}))))
                            .c_str()));
        else
            controller->CreatePart(row.body);
        auto* set = dynamic_cast<NMVelmarTCS2D*>(controller->CurrentPart.get());
        NMObject* part = row.member && set && !set->Parts.empty() ? set->Parts.front().part.get() : controller->CurrentPart.get();
        const char* made = dynamic_cast<NMVelmarFragment2D*>(part)  ? "fragment"
                           : dynamic_cast<NMVelmarScript2D*>(part) ? "script"
                           : dynamic_cast<NMVelmarTCS2D*>(part)    ? "set"
                                                                   : "none";
        EXPECT_STREQ(made, row.made) << sim::Utf8(row.body) << " " << sim::Utf8(row.member ? row.member : L"");
        controller->ClearPart();
    }
}

TEST_F(Controller2D, ALibraryMacroSelectedInTheDrawingOpensTheReferenceBookAtItsPart)
{
    auto controller = Make();
    controller->location = L"kept";
    controller->Prepare();
    EXPECT_EQ(std::wstring(controller->location), L"kept");
    EXPECT_EQ(controller->state, Normset::StateSelect);

    const long macro = LibraryMacro();
    document_->V5().Value(IVel5Document2D::SelectedMacro) = macro;
    controller->Prepare();
    EXPECT_EQ(std::wstring(controller->location), L"PART:5915[d=12]");
    EXPECT_EQ(controller->state, Normset::StateReselect);
    controller->CreatePart(L"nut.vbs");
    auto* part = dynamic_cast<NMVelObj2D*>(controller->CurrentPart.get());
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->macro, macro);
    EXPECT_EQ(part->state, NMObject::StateReplace);
}

TEST_F(Controller2D, ChecksAndMasksFollowTheDocumentAndItsSpecificationMode)
{
    struct Row {
        const char* what;
        int32_t type;
        long spcMode;
        bool createSpc;
        uint32_t mask;
        const wchar_t* findRefusal;
        const wchar_t* spcRefusal;
    };
    const wchar_t* noSpcObjects = L"При текущей настройке параметров работы со стандартными изделиями запрещено создавать "
                                  L"объекты спецификации.\r\nДля изменения текущей настройки вызовите из главного меню "
                                  L"ВЕЛМАР-3D команду \"Библиотеки - Нормсет - Настройки\".";
    const Row rows[] = {
        {"drawing", 1, 0, true, 0xF, nullptr, nullptr},
        {"fragment", 2, 0, true, 0xF, nullptr, nullptr},
        {"drawing in spc mode", 1, 2, true, 0x80F, kNotDrawing, nullptr},
        {"spc objects switched off", 1, 0, false, 0xF, nullptr, noSpcObjects},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        document_->V5().Value(IVel5Document2D::SpcMode) = row.spcMode;
        const RegKey key = CreateRegKey(HKEY_CURRENT_USER, kSettingsKeyPath, KEY_WRITE);
        WriteRegDword(key.get(), L"CreateSpcObject", row.createSpc ? 1 : 0);
        auto controller = Make(row.type);
        controller->Prepare();
        EXPECT_EQ(controller->mask, row.mask);
        EXPECT_NO_THROW(controller->CheckDocumentValidForInsert());
        auto refusal = [](const std::function<void()>& check) -> std::wstring {
            try {
                check();
            } catch (const _bstr_t& warning) {
                return std::wstring(warning);
            }
            return L"";
        };
        EXPECT_EQ(refusal([&] { controller->CheckDocumentValidForFind(); }), row.findRefusal ? row.findRefusal : L"");
        EXPECT_EQ(refusal([&] { controller->CheckDocumentValidForCreateSpcObjs(); }), row.spcRefusal ? row.spcRefusal : L"");
        EXPECT_FALSE(controller->Positioning());
        controller->SetInstrumentOption();
        const sim::InstrumentOptions& sent = book_->InstrumentOptionsSent().back();
        EXPECT_EQ(sent.documentId, L"2D");
        EXPECT_EQ(sent.containerId, L"0");
        EXPECT_EQ(sent.mask, static_cast<long>(row.mask));
        testhooks::ResetProviderConnection();
    }
    // Documents that are no drawing are refused by find and by spc objects alike.
    document_->V5().Value(IVel5Document2D::SpcMode) = 0L;
    auto other = Make(3);
    EXPECT_THROW(other->CheckDocumentValidForFind(), _bstr_t);
    EXPECT_THROW(other->CheckDocumentValidForCreateSpcObjs(), _bstr_t);
}

TEST_F(Controller2D, ASilentReplacementKeepsTheMacroReference)
{
    auto first = MakePart();
    first->PlaceAt(10, 10, 0);
    const long macro = first->macro;
    first.reset();
    document_->V5().Value(IVel5Document2D::SelectedMacro) = macro;
    auto controller = Make();
    auto washer = MakePart<NMVelmarFragment2D>();
    auto response = std::make_shared<pugi::xml_document>();
    using namespace response_xml;
    LoadXmlFromBstr(_bstr_t(Response(Object(L"Method", {{L"NM_IID", L"PART:11371[d=8]"}, {L"URL", folder_.Path()},
                                                        {L"MethodBody", L"Washers.lfr"}, {L"Designation", L"Шайба 8"},
                                                        {L"LFR_FRAG_NAME", L"Шайба 8"}}))
                                .c_str()),
                    *response);
    controller->ResponseDoc = response;
    EXPECT_EQ(controller->ReplacePartSilent(0, 0, 90), macro);
    EXPECT_EQ(Macros(), std::vector<long>{macro});
    EXPECT_EQ(TypesIn(macro), (std::vector<long>{1, 3}));
    EXPECT_EQ(Drawing().Find(macro)->angle, 90);
}

// A part that draws nothing (a script that draws nothing, a 3D component's answer in a drawing, a set
// one of whose members draws nothing, a set naming no members) is not placed, nor does it replace the part
// selected: the user is told, and the drawing holds nothing of it.
TEST_F(Controller2D, TheInsertCommandPlacesTheChosenPartInTheDrawing)
{
    WriteFileBytes(folder_ / L"empty.vbs", kEmptyScript);
    // The sample bolt's model file where the sample component's answer names it, as velmar-sim lays it out.
    std::filesystem::create_directories(folder_ / L"Models");
    WriteFileBytes(folder_ / L"Models\\Bolt_7798_M10x50.vlm",
                   sim::Utf8(sim::ReadTextFile(sim::SampleModelsFolder() + L"Bolt_7798_M10x50.model").value_or(L"")));
    // The sample set's parts where its answer names them, the nut's script drawing nothing.
    std::filesystem::create_directories(folder_ / L"Scripts2D");
    std::filesystem::copy_file(sim::SamplePartsFolder() + L"Scripts2D\\Bolt_7798.vbs", folder_ / L"Scripts2D\\Bolt_7798.vbs");
    WriteFileBytes(folder_ / L"Scripts2D\\Nut_5915.vbs", kEmptyScript);
    velmar().Drawings().AddFragment(sim::SampleWasher(folder_.Path()));
    // The user places the part at (40, 50), then ends the command: by the placement prompt, or by the
    // part panel for a part with spc data.
    using Answers = std::vector<std::pair<const char*, const wchar_t*>>;
    const Answers prompt{{"placement", L"40,50,0"}, {"placement", L"cancel"}};
    const Answers panel{{"panel", L"cursor 40 50 0; ok"}, {"leader", L"none"}, {"panel", L"cancel"}};
    struct Row {
        const char* what;
        const wchar_t* body;        // the nut's method body, unless a sample answer is given
        const char* sample;         // a sample answer of the reference book, its files in this folder
        const Answers& user;        // what the user answers when asked
        std::vector<long> drawn;    // the types the placed macro holds; none: nothing placed
        const wchar_t* told;        // the message the user read; none: ""
        bool replaces = false;      // the answer is to replace the nut placed and selected before
    };
    const Answers none;
    const wchar_t* const noMembers = L"Изделие \"Комплект крепежа М8: болт, шайба, гайка\" ничего не нарисовало и не помещено в чертёж.";
    const Row rows[] = {
        {"the nut", L"nut.vbs", nullptr, prompt, {1, 3}, L""},
        {"a script that draws nothing", L"empty.vbs", nullptr, prompt, {},
         L"Изделие \"Гайка М12\" ничего не нарисовало и не помещено в чертёж."},
        {"a 3D component's answer", nullptr, "component_3d", panel, {},
         L"Изделие \"Болт М10-6gx50.58 ГОСТ 7798-70\" ничего не нарисовало и не помещено в чертёж."},
        {"a fastener set whose nut draws nothing", nullptr, "fastener_set_2d", panel, {},
         L"Изделие \"Гайка М8-6Н.5 ГОСТ 5915-70\" ничего не нарисовало и не помещено в чертёж."},
        {"a fastener set naming no members", nullptr, "no members", panel, {}, noMembers},
        {"the same replacing the nut", nullptr, "no members", none, {}, noMembers, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Open();
        sim::SelectAnswer answer;
        using namespace response_xml;
        long nut = 0;
        std::vector<std::string> nutAsPlaced;
        if (row.replaces) {
            auto placed = MakePart();
            placed->PlaceAt(10, 10, 0);
            nut = placed->macro;
            nutAsPlaced = Drawing().Describe(nut, Spc());
            document_->V5().Value(IVel5Document2D::SelectedMacro) = nut;
        }
        if (row.sample) {
            const bool noMembers = std::string(row.sample) == "no members";
            std::wstring xml = sim::SampleResponse(noMembers ? "fastener_set_2d" : row.sample);
            if (noMembers)
                xml = response_xml::WithoutMembers(xml);
            const std::wstring mark = L"%MODELS%\\";
            for (size_t at = xml.find(mark); at != std::wstring::npos; at = xml.find(mark))
                xml.replace(at, mark.size(), folder_.Path());
            answer.responseXml = xml;
        } else {
            answer.responseXml = Response(Object(L"MethodParameters", {{L"d", L"12"}}) +
                                          Object(L"Method", {{L"NM_IID", L"PART:5915[d=12]"}, {L"URL", folder_.Path()},
                                                             {L"MethodBody", row.body}, {L"Designation", L"Гайка М12"}}));
        }
        book_->QueueSelect(answer);
        for (const auto& [question, reply] : row.user)
            velmar().User().Answer(question, _variant_t(reply));
        std::vector<std::wstring> shown;
        ModalSeam seam;
        seam.messageBox = [&](HWND, const std::wstring& text, const std::wstring&, UINT) {
            shown.push_back(text);
            return IDOK;
        };
        testhooks::ScopedModalSeam scoped(seam);
        std::wstring title, message;
        EXPECT_FALSE(ExecuteLibCommand(FindLibCommand(1), title, message)) << sim::Utf8(message);
        EXPECT_EQ(shown, *row.told ? std::vector<std::wstring>{row.told} : std::vector<std::wstring>{});
        if (row.replaces) {
            EXPECT_EQ(Macros(), std::vector<long>{nut});
            EXPECT_EQ(Drawing().Describe(nut, Spc()), nutAsPlaced);
        } else {
            EXPECT_EQ(Drawing().Objects().size(), row.drawn.empty() ? 0u : 1u);
        }
        // A part that drew nothing is not offered for placing: the user's answers stay unasked.
        EXPECT_EQ(velmar().User().Pending(), row.drawn.empty() ? row.user.size() : 0u);
        velmar().User().Clear();
        if (row.drawn.empty())
            continue;
        ASSERT_EQ(book_->InstrumentOptionsSent().size(), 1u);
        EXPECT_EQ(book_->InstrumentOptionsSent()[0].documentId, L"2D");
        EXPECT_EQ(book_->InstrumentOptionsSent()[0].mask, 0xF);
        // After the part the reference book opens again; closed without a choice, the command ends.
        EXPECT_EQ(book_->Selections().size(), 2u);
        ASSERT_EQ(Macros().size(), 1u);
        EXPECT_EQ(Drawing().Find(Macros()[0])->x, 40);
        EXPECT_EQ(TypesIn(Macros()[0]), row.drawn);
    }
}
