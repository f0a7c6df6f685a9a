// Fastener sets in a drawing: the sample set (a bolt and a nut drawn by their part scripts, a washer
// from its fragment library, cut along the packet) placed through the panel, replaced in place, rebuilt
// from the reference book, and what a failed host call leaves of it.
#include "insert2d/nm_velmar_tcs_2d.h"

#include "core/exception_describer.h"
#include "core/module.h"
#include "core/modal_seam.h"
#include "insert2d/drawing_stand_in.h"
#include "insert2d/user_data_block.h"
#include "library/exports.h"
#include "hostapi/provider_connection.h"
#include "objects/bad_response.h"
#include "sim/sample_responses.h"

#include <set>
#include <sstream>
#include <tuple>

namespace {

using namespace drawing_test;

class TCS2D : public DrawingStandIn {
protected:
    TCS2D()
    {
        // A set takes a leader only where the settings give sets leaders.
        settings.PosLeaderInAssy = true;
        AddSampleWasher();
    }

    void AddSampleWasher() { velmar().Drawings().AddFragment(sim::SampleWasher(sim::SamplePartsFolder())); }

    // The sample set with its parts' files where the reference book says they are.
    static std::wstring SetResponse()
    {
        std::wstring xml = sim::SampleResponse("fastener_set_2d");
        for (size_t at = xml.find(L"%MODELS%\\"); at != std::wstring::npos; at = xml.find(L"%MODELS%\\"))
            xml.replace(at, 9, sim::SamplePartsFolder());
        return xml;
    }

    // The sample set without its washer, a set of its own.
    static std::wstring SetWithoutWasher()
    {
        pugi::xml_document document;
        const std::wstring xml = SetResponse();
        document.load_buffer(xml.data(), xml.size() * sizeof(wchar_t), pugi::parse_default, pugi::encoding_wchar);
        for (pugi::xml_node object : document.child(L"response").child(L"objectcollection").children(L"object")) {
            const std::wstring kind = object.child(L"classid").text().get();
            if (kind == L"Method") {
                object.child(L"attributecollection").first_child().child(L"value").text().set(L"TCS:7798-5915[d=8;L=40]");
                object.child(L"objectcollection").remove_child(*std::next(object.child(L"objectcollection").children().begin()));
            } else if (kind == L"AssyPartsMethods") {
                object.child(L"objectcollection").remove_child(*std::next(object.child(L"objectcollection").children().begin()));
            }
        }
        std::wostringstream text;
        document.save(text, L"", pugi::format_raw | pugi::format_no_declaration);
        return text.str();
    }

    std::unique_ptr<NMVelmarTCS2D> MakeSet(int32_t macro = 0, bool specActive = false, const std::wstring& xml = SetResponse())
    {
        auto set = std::make_unique<NMVelmarTCS2D>(App5(), App7(), Client(), macro, specActive, &settings);
        auto document = std::make_shared<pugi::xml_document>();
        LoadXmlFromBstr(_bstr_t(xml.c_str()), *document);
        set->loadPartData(document->child(L"response").child(L"objectcollection"), document);
        return set;
    }

    // One set placed by the user at (100, 50) with a new leader at (130, 80), or without one; the macro.
    long PlaceSet(bool leader = true)
    {
        velmar().User().Answer("panel", _variant_t(leader ? L"choose 9145 0; cursor 100 50 0; ok" : L"choose 9145 2; cursor 100 50 0; ok"));
        if (leader)
            velmar().User().Answer("leader", _variant_t(L"130,80"));
        velmar().User().Answer("panel", _variant_t(L"cancel"));
        MakeSet()->Apply();
        return Macros().empty() ? 0 : Macros().back();
    }

    // The lines of a macro, in Velmar's order.
    std::vector<sim::SpcObject*> LinesOf(long macro)
    {
        std::vector<sim::SpcObject*> lines;
        for (sim::SpcObject* object : Spc().Objects())
            if (object->geometry.front() == Name("macro", macro))
                lines.push_back(object);
        return lines;
    }
    // Each line of a macro as the user reads it: its designation, its note (9.1) and its comments.
    std::vector<std::string> Typed(long macro)
    {
        std::vector<std::string> texts;
        for (sim::SpcObject* object : LinesOf(macro))
            texts.push_back(sim::Utf8(object->ColumnA(5, 1)->Text()) + ": " + sim::Utf8(object->ColumnA(9, 1)->Text()) +
                            object->DescribeComments());
        return texts;
    }

    // The user drags the size point of the nut М12 (macro) to М16 and releases it, committing or cancelling,
    // as Velmar drives the hot points of the macro it selected: the library holds Velmar meanwhile. Dragged
    // again (times), the point goes on from where the last release left it to the next size, М20, the macro
    // still selected.
    void DragSizeToM16(long macro, bool commit, int times = 1)
    {
        const wchar_t nut[] = L"PART:5915[d=12]";
        book_->SetHotPoints(L"5915", L"d||16||12||10||20\r\n");
        book_->SetPlacedResponse(nut, SizedNutResponse(L"12"));
        book_->SetDragResult(nut, SizedNutResponse(L"16"));
        document_->V5().Value(IVel5Document2D::SelectedMacro) = macro;
        struct Held {
            explicit Held(sim::Velmar& velmar)
            {
                HoldApplication5(velmar.Application5());
                HoldApplication7(velmar.Application7());
            }
            ~Held()
            {
                HoldProvider(nullptr, nullptr);
                testhooks::ResetProviderConnection();
                HoldApplication5(nullptr);
                HoldApplication7(nullptr);
            }
        } held(velmar());
        IUnknown* object = nullptr;
        LibObjInterfaceEntry(1, 0, &object);
        ASSERT_NE(object, nullptr);
        auto* points = static_cast<ILibHPObject*>(object);
        ILibHPObject1* second = nullptr;
        ASSERT_EQ(points->QueryInterface(__uuidof(ILibHPObject1), reinterpret_cast<void**>(&second)), S_OK);
        // 5 along x from the point (at 6) is 17: М16; then 7 from М16's (at 8) is 23: М20.
        for (int drag = 0; drag < times; ++drag) {
            const LibHPMove beyond{drag == 0 ? 11.0 : 15.0, 0};
            // The reference book answers a drag of the part selected, whatever its size now.
            if (drag > 0)
                book_->SetDragResult(nut, SizedNutResponse(L"20"));
            second->BeginDrag(2);
            points->MovePoint(&beyond, 2);
            EXPECT_EQ(IdOf(macro), commit && drag > 0 ? L"PART:5915[d=20]" : L"PART:5915[d=16]");
            points->Refresh(0, commit ? 1 : 0);
            second->EndDrag();
        }
        second->Release();
        points->Release();
    }

    // A fault sweep over a noted set with a line the user attached, replaced by road (below).
    void SweepASetsReplace(const std::function<void(long)>& road, size_t newLines, test_support::SweptShare share = {});
    void SweepASetPlacedBesideAPart(test_support::SweptShare share);

    std::wstring IdOf(long macro)
    {
        const std::vector<std::wstring> texts = Drawing().IdentityOf(macro);
        return texts.size() > 2 ? texts[2] : L"";
    }
    std::vector<long> Members(long set)
    {
        std::vector<long> members;
        for (long inner : Drawing().Contents(set))
            if (Drawing().Find(inner)->type == 27)
                members.push_back(inner);
        return members;
    }
    std::vector<std::wstring> MemberIds(long set)
    {
        std::vector<std::wstring> ids;
        for (long member : Members(set))
            ids.push_back(IdOf(member));
        return ids;
    }
    std::vector<std::wstring> SpcTexts()
    {
        std::vector<std::wstring> texts;
        for (sim::SpcObject* object : Spc().Objects())
            texts.push_back(object->ColumnA(5, 1) ? object->ColumnA(5, 1)->Text() : L"");
        return texts;
    }
    // In the order drawn.
    const std::vector<std::wstring> kMemberIds = {L"PART:7798-70[d=8;L=40]", L"PART:5915-70[d=8]", L"PART:11371-78[d=8]"};
    // In the set's order, as the reference book lists them and their lines stand.
    const std::vector<std::wstring> kListedIds = {kMemberIds[0], kMemberIds[2], kMemberIds[1]};
    const std::vector<std::wstring> kDesignations = {L"Болт М8-6gx40.58 ГОСТ 7798-70", L"Шайба 8.01.08кп ГОСТ 11371-78",
                                                     L"Гайка М8-6Н.5 ГОСТ 5915-70"};
};

} // namespace

TEST_F(TCS2D, ASetIsPlacedAsOneMacroOfMemberMacrosLaidOutCutAndListedPerMember)
{
    velmar().User().Answer("panel", _variant_t(L"cursor 100 50 0; ok"));
    velmar().User().Answer("leader", _variant_t(L"130,80"));
    velmar().User().Answer("panel", _variant_t(L"cancel"));
    auto set = MakeSet();
    EXPECT_EQ(set->CutMask, 2u);
    journal().Clear();
    set->Apply();

    ASSERT_EQ(Macros().size(), 1u);
    const long macro = Macros()[0];
    const std::vector<long> members = Members(macro);
    ASSERT_EQ(members.size(), 3u);
    const std::string g = std::to_string(macro - 1), m = std::to_string(macro);
    const auto s = [](long reference) { return std::to_string(reference); };
    // Drawn in their passes: the bolt and the nut, then the washer over them.
    const std::string bolt = s(members[0]), nut = s(members[1]), washer = s(members[2]);
    // Within 245: the group and the set macro, reopened; the members drawn as member macros and placed
    // along the axis in list order (the washer at its distance 20, the nut, not turned, at 21.6; nothing
    // of theirs stands on the packet, so nothing shifts back); the set macro ended; the bolt cut by the
    // packet's rectangle; the panel's commit; the set macro placed, 245 closed.
    const Lines calls = journal().LinesOf("drawing5");
    const Lines head(calls.begin(), calls.begin() + 8);
    EXPECT_EQ(head, (Lines{"drawing5.245(true)", "drawing5.24(1)", "drawing5.11(1)", "drawing5.19()", "drawing5.54(" + m + ")",
                           "drawing5.11(1)", "drawing5.2(-5.3,-6.5,0,-6.5,1)", "drawing5.2(0,-6.5,0,6.5,1)"}));
    Lines placing;
    for (const std::string& call : Lines(calls.begin(), std::find(calls.begin(), calls.end(), "drawing5.245(false)") + 1))
        if (call.rfind("drawing5.158(", 0) == 0 || call.rfind("drawing5.54", 0) == 0 || call.rfind("drawing5.65", 0) == 0 ||
            call.rfind("drawing5.167", 0) == 0 || call.rfind("drawing5.63", 0) == 0 || call.rfind("drawing5.245", 0) == 0 ||
            call == "drawing5.19()" || call == "drawing5.25()")
            placing.push_back(call);
    const std::string outline = s(members[2] + 1), cut = s(members[2] + 6);
    EXPECT_EQ(placing,
              (Lines{"drawing5.245(true)", "drawing5.19()", "drawing5.54(" + m + ")", "drawing5.19()", "drawing5.19()", "drawing5.19()",
                     "drawing5.158(" + bolt + ",0,0,0,0)", "drawing5.158(" + washer + ",20,0,0,0)",
                     "drawing5.158(" + nut + ",21.6,0,0,0)", "drawing5.19()", "drawing5.25()", "drawing5.65(" + cut + "," + bolt + ")",
                     "drawing5.25()", "drawing5.167(" + cut + "," + outline + ",-1)", "drawing5.63(" + outline + ",-1)", "drawing5.25()",
                     "drawing5.63(" + g + ",true)", "drawing5.158(" + m + ",100,50,0,1)", "drawing5.245(false)"}))
        << testing::PrintToString(calls);

    EXPECT_EQ(IdOf(macro), L"TCS:7798-11371-5915[d=8;L=40]");
    EXPECT_EQ(Drawing().IdentityOf(macro).at(1), L"TKR2D");
    EXPECT_EQ(MemberIds(macro), kMemberIds);
    // The next copy, cancelled, was cut as well before it was dropped.
    ASSERT_EQ(Drawing().Cuts().size(), 2u);
    EXPECT_EQ(Drawing().Cuts()[0].cut, std::vector<long>{members[0]});
    EXPECT_EQ(Drawing().Cuts()[0].x1, 1e-6);
    EXPECT_EQ(Drawing().Cuts()[0].x2, 20 - 1e-6);
    // One spc object per member, each on the set macro and its leader; one leader for the set.
    ASSERT_EQ(Leaders().size(), 1u);
    EXPECT_EQ(SpcTexts(), kDesignations);
    for (const auto& geometry : SpcGeometry())
        EXPECT_EQ(geometry, (std::vector<std::string>{Name("macro", macro), Name("leader", Leaders()[0])}));
    EXPECT_EQ(velmar().OpenBrackets(), Lines{});
}

TEST_F(TCS2D, ReplacementRedrawsTheMembersInTheSameMacroAndSilentReplacementMovesOnlyBeyond1eMinus6)
{
    Spc().DefineColumnA({9, 1, L"Примечание"});
    const long macro = PlaceSet();
    const std::vector<long> before = Members(macro);
    // The bolt's and the nut's lines commented, every line noted: each comment and note follows its own
    // member's line.
    const auto comments = [&] {
        std::vector<std::string> texts;
        for (sim::SpcObject* object : Spc().Objects()) {
            const std::string designation = sim::Utf8(object->ColumnA(5, 1)->Text());
            texts.push_back(designation + ": " + sim::Utf8(object->ColumnA(9, 1)->Text()));
            for (const std::string& comment : object->Comments())
                texts.push_back(designation + ": " + comment);
        }
        return texts;
    };
    std::vector<std::string> own;
    for (size_t line = 0; line < kDesignations.size(); ++line) {
        const std::string designation = sim::Utf8(kDesignations[line]);
        Spc().Objects().at(line)->ColumnA(9, 1)->SetText(L"note " + std::to_wstring(line));
        own.push_back(designation + ": note " + std::to_string(line));
        if (line != 1) {
            Spc().Objects().at(line)->AddComment(designation);
            own.push_back(designation + ": " + designation);
        }
    }
    struct Row {
        double x, y, angle;
        bool moved;
    };
    for (const Row& row : {Row{0, 0, 0, false}, Row{1e-7, -1e-7, 1e-7, false}, Row{1e-5, 0, 0, true}}) {
        auto set = MakeSet(macro);
        journal().Clear();
        set->replacePartSilent(row.x, row.y, row.angle);
        EXPECT_EQ(Macros(), std::vector<long>{macro});
        EXPECT_EQ(MemberIds(macro), kMemberIds);
        EXPECT_NE(Members(macro), before);
        EXPECT_EQ(SpcTexts(), kDesignations) << "the old spc objects go, new ones come";
        EXPECT_EQ(comments(), own);
        Lines moves;
        for (const std::string& call : journal().LinesOf("drawing5"))
            if (call.rfind("drawing5.158(" + std::to_string(macro) + ",", 0) == 0)
                moves.push_back(call);
        EXPECT_EQ(moves, row.moved ? Lines{"drawing5.158(" + std::to_string(macro) + ",1e-05,0,0,1)"} : Lines{});
        EXPECT_EQ(velmar().OpenBrackets(), Lines{});
    }
    // The washer's line typed over with the nut's designation is still the washer's: its note and the
    // nut's stay each on its own member's line.
    Spc().Objects().at(1)->ColumnA(5, 1)->SetText(kDesignations[2]);
    MakeSet(macro)->Replace();
    EXPECT_EQ(comments(), own);
    // Velmar refusing the new contents changes nothing.
    const std::vector<long> kept = Members(macro);
    // The washer's fragment fills its own member macro first.
    Drawing().RefuseMacroFill(1, 1);
    MakeSet(macro)->Replace();
    EXPECT_EQ(Members(macro), kept);
    EXPECT_EQ(SpcTexts(), kDesignations);
    // A set whose members have no place in the bill of materials: the washer's line, which shows nothing but
    // its member's text, goes; the commented ones stay with their leader, and no leader is made for lines
    // that are not there.
    Spc().Objects().at(1)->ColumnA(9, 1)->SetText(L"");
    const std::vector<long> leaders = Leaders();
    std::wstring bare = SetResponse();
    for (size_t at = bare.find(L"spcSection"); at != std::wstring::npos; at = bare.find(L"spcSection"))
        bare.replace(at, 3, L"off");
    auto set = std::make_unique<NMVelmarTCS2D>(App5(), App7(), Client(), macro, false, &settings);
    auto document = std::make_shared<pugi::xml_document>();
    LoadXmlFromBstr(_bstr_t(bare.c_str()), *document);
    set->loadPartData(document->child(L"response").child(L"objectcollection"), document);
    set->Replace();
    EXPECT_EQ(SpcTexts(), (std::vector<std::wstring>{kDesignations[0], kDesignations[2]}));
    EXPECT_EQ(comments(), (std::vector<std::string>{own[0], own[1], own[3], own[4]}));
    EXPECT_EQ(Leaders(), leaders);
    for (sim::SpcObject* object : Spc().Objects())
        EXPECT_EQ(object->geometry.back(), Name("leader", leaders.at(0)));
}

// Two sets on one position leader (the second added to the first's): whatever replaces the second, the
// first's lines keep the leader.
TEST_F(TCS2D, ALeaderAnotherSetSharesStaysWhateverReplacesASet)
{
    struct Row {
        const char* what;
        std::function<void(long)> replace;
    };
    const Row rows[] = {
        {"the set", [&](long set) { MakeSet(set)->Replace(); }},
        {"a part without spc data", [&](long set) { MakePart(false, {}, set)->Apply(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Open();
        const long first = PlaceSet();
        const long leader = Leaders().at(0);
        velmar().User().Answer("panel", _variant_t(L"choose 9145 1; cursor 160 50 0; ok"));
        velmar().User().Answer("point", _variant_t(L"130,80"));
        velmar().User().Answer("panel", _variant_t(L"cancel"));
        MakeSet()->Apply();
        ASSERT_EQ(Leaders(), std::vector<long>{leader});
        row.replace(Macros().back());
        std::vector<std::vector<std::string>> held;
        for (sim::SpcObject* object : Spc().Objects())
            if (object->geometry.front() == Name("macro", first))
                held.push_back(object->geometry);
        EXPECT_EQ(held, (std::vector<std::vector<std::string>>(3, {Name("macro", first), Name("leader", leader)})));
        const std::vector<long> left = Leaders();
        EXPECT_TRUE(!left.empty() && left.front() == leader) << testing::PrintToString(left);
    }
}

// A set and a part replacing each other: no line stays for what is gone, and what the user typed on a line
// goes to one line only. A set's lines standing elsewhere than the active preset says ask once.
TEST_F(TCS2D, EveryRoadThatRebuildsOrReplacesASetGivesEachOldLineToItsMembersSuccessorAndKeepsTheUsersLines)
{
    Spc().DefineColumnA({9, 1, L"Примечание"});
    int asked = 0;
    ModalSeam seam;
    seam.messageBox = [&](HWND, const std::wstring&, const std::wstring&, UINT) {
        ++asked;
        return IDNO;
    };
    testhooks::ScopedModalSeam scoped(seam);

    // A noted nut replaced by the set: its line goes to the first member only (none shows its
    // designation); the others' lines take nothing typed on it.
    auto placed = MakePart();
    placed->PlaceAt(10, 10, 0);
    const long nutMacro = placed->macro;
    ASSERT_EQ(Typed(nutMacro).size(), 1u);
    Spc().Objects().back()->ColumnA(9, 1)->SetText(L"nut note");
    Spc().Objects().back()->AddComment("nut");
    MakeSet(nutMacro)->Replace();
    EXPECT_EQ(Typed(nutMacro), (std::vector<std::string>{sim::Utf8(kDesignations[0]) + ": nut note, comment \"nut\"",
                                                         sim::Utf8(kDesignations[1]) + ": ", sim::Utf8(kDesignations[2]) + ": "}));

    // A set with its members as the reference book describes them and a note and a comment on each line.
    // The user deletes the washer's line and attaches a line of their own to the set ("Прокладка", a note,
    // a comment): it is no member's. Rebuilt, the set gives the washer a bare line of its own and keeps the
    // attached line as the user made it.
    // The reference book lists the set's members, each with or without a place in the bill of materials.
    const auto listMembers = [&](const std::vector<bool>& withSpc, const std::vector<std::wstring>& designations, bool ids = false) {
        for (size_t i = 0; i < kListedIds.size(); ++i) {
            std::vector<Attr> method = {{L"NM_IID", kListedIds[i]}, {L"Designation", designations[i]}};
            if (ids)
                method.push_back({L"Quarvend_IID", L"Q-" + std::to_wstring(i)});
            if (withSpc[i])
                for (const Attr& variable : SpcVariables())
                    method.push_back(variable);
            book_->SetPlacedResponse(kListedIds[i], response_xml::Response(response_xml::Object(L"Method", method)));
        }
    };
    const long set = PlaceSet();
    std::wstring members;
    for (const std::wstring& id : kListedIds)
        members += id + L"\r\n";
    const std::vector<bool> allSpc(3, true);
    listMembers(allSpc, kDesignations);
    book_->SetClientString(IdOf(set), members);
    const auto note = [&](long macro) {
        const std::vector<sim::SpcObject*> lines = LinesOf(macro);
        for (size_t i = 0; i < lines.size(); ++i) {
            lines[i]->ColumnA(9, 1)->SetText(L"note " + std::to_wstring(i));
            lines[i]->AddComment("c" + std::to_string(i));
        }
        return lines;
    };
    std::vector<sim::SpcObject*> lines = note(set);
    ASSERT_EQ(lines.size(), 3u);
    const auto deleteLine = [&](sim::SpcObject* line) {
        line->deleted = true;
        Spc().Changed();
    };
    deleteLine(lines[1]);
    const auto attachByHand = [&](long macro, const std::wstring& text = L"Прокладка") {
        sim::SpcObject& byHand = Spc().AddObject(25);
        byHand.Link(*velmar().Drawings().DrawingObject(macro));
        byHand.ColumnA(5, 1)->SetText(text);
        byHand.ColumnA(9, 1)->SetText(L"by hand");
        byHand.AddComment("by hand");
    };
    attachByHand(set);
    const std::string handLine = "Прокладка: by hand, comment \"by hand\"";
    MakeSet(set)->Replace();
    EXPECT_EQ(Typed(set), (std::vector<std::string>{handLine, sim::Utf8(kDesignations[0]) + ": note 0, comment \"c0\"",
                                                    sim::Utf8(kDesignations[1]) + ": ",
                                                    sim::Utf8(kDesignations[2]) + ": note 2, comment \"c2\""}));

    // The washer's line deleted again, the set replaced by a nut М12: the line the nut is rebuilt from is
    // the set's first (no member shows its designation), every member line's comments go to it and the
    // other member lines go; the attached line stays as it is.
    deleteLine(LinesOf(set).at(2));
    // The set's leader numbers the new line; a leader of the nut's line alone goes with that line.
    const std::vector<long> setLeaders = Leaders();
    LinesOf(set).back()->Link(*velmar().Drawings().DrawingObject(Drawing().AddLeader({})));
    MakePart(true, {}, set)->Apply();
    EXPECT_EQ(Typed(set), (std::vector<std::string>{handLine, "Гайка М12: note 0, comment \"c0\", comment \"c2\""}));
    EXPECT_EQ(Leaders(), setLeaders);
    EXPECT_EQ(asked, 0);

    // The lines of another set moved by the user to another section: one question for the whole set.
    const long moved = PlaceSet();
    for (sim::SpcObject* object : Spc().Objects())
        if (object->geometry.front() == Name("macro", moved))
            object->section = 30;
    MakeSet(moved)->Replace();
    EXPECT_EQ(asked, 1);

    // A noted set rebuilt or replaced: each old line stays with the member it was made for as the set stood,
    // and goes where that member goes; a line the user attached stays.
    const auto rebuild = [&](long placed) {
        // As the spc command rebuilds each set of the drawing.
        NMVelmarTCS2D set(App5(), App7(), Client(), placed, false, &settings);
        set.RecreatePlacedSpcObjects(set.Context(true));
    };
    const auto bySet = [&](long placed) { MakeSet(placed)->Replace(); };
    const auto bySetWithoutWasher = [&](long placed) { MakeSet(placed, false, SetWithoutWasher())->Replace(); };
    const auto byPart = [&](bool spc, std::vector<Attr> attrs = {}) {
        return [=, this](long placed) { MakePart(spc, attrs, placed)->Apply(); };
    };
    const std::vector<Attr> ownNut = {{L"NM_IID", kListedIds[2]}, {L"Designation", kDesignations[2]}};
    const std::vector<Attr> nutM12 = {{L"NM_IID", L"PART:5915-70[d=12]"}};
    // What the reference book lists for the set's identifier when the road runs: its members as placed,
    // the same without the washer (filed anew since), the same with the washer's answer damaged (the set
    // can no longer be read), or nothing.
    enum class Listing { All, WithoutWasher, WasherDamaged, None };
    struct Replaced {
        const char* what;
        bool leader;                       // the set has its position leader
        Listing listed;                    // what the reference book lists for the set
        std::vector<bool> membersSpc;      // ... each with a place in the bill of materials, in the set's order
        std::vector<std::wstring> shown;   // ... each showing this designation
        std::wstring byHand;               // the text of a line the user attached to the set (none when empty)
        std::vector<std::wstring> typed;   // what the user typed over each line's designation (none when empty)
        bool ids;                          // only where each line names its member in its "ID Normset" column
        std::function<void(long)> road;
        std::vector<std::string> left;
        int deleted = -1;                  // the line the user deleted, in the set's order (none: -1)
    };
    const std::string bolt = sim::Utf8(kDesignations[0]), nut = sim::Utf8(kDesignations[2]);
    const std::wstring part = L"Деталь крепёжная М8";
    const std::vector<std::wstring> untyped(3);
    const auto twice = [&](long placed) {
        rebuild(placed);
        rebuild(placed);
    };
    const std::string washer = sim::Utf8(kDesignations[1]);
    // The washer's member macro gone from the drawing: the set draws nothing of it.
    const auto washerUndrawn = [&](long placed) {
        for (long member : Members(placed))
            if (IdOf(member) == kMemberIds[2])
                Drawing().Delete(member);
        rebuild(placed);
    };
    const Replaced replaced[] = {
        {"the set drawing nothing of its washer, rebuilt: the washer keeps its line", true, Listing::All, allSpc, kDesignations,
         L"", untyped, false, washerUndrawn,
         {bolt + ": note 0, comment \"c0\"", washer + ": note 1, comment \"c1\"", nut + ": note 2, comment \"c2\""}},
        {"filed anew without the washer, rebuilt: the washer's line goes, its comments to the bolt's", true,
         Listing::WithoutWasher, allSpc, kDesignations, L"", untyped, false, rebuild,
         {bolt + ": note 0, comment \"c0\", comment \"c1\"", nut + ": note 2, comment \"c2\""}},
        {"the same replaced by its own nut", true, Listing::WithoutWasher, allSpc, kDesignations, L"", untyped, false,
         byPart(true, ownNut), {nut + ": note 2, comment \"c2\", comment \"c0\", comment \"c1\""}},
        {"a washer's answer damaged, its line typed over with the nut's designation, replaced by a set without the washer: "
         "each note stays with its member",
         true, Listing::WasherDamaged, allSpc, kDesignations, L"", {L"", kDesignations[2], L""}, false, bySetWithoutWasher,
         {bolt + ": note 0, comment \"c0\", comment \"c1\"", nut + ": note 2, comment \"c2\""}},
        // A line of a member without spc data that the user wrote on stays the user's.
        {"its washer without spc data and no leader, rebuilt twice: the washer's noted line and the hand line stay", false,
         Listing::All, {true, false, true}, kDesignations, L"Прокладка", untyped, false, twice,
         {washer + ": note 1, comment \"c1\"", handLine, bolt + ": note 0, comment \"c0\"", nut + ": note 2, comment \"c2\""}},
        {"the same replaced by a part", false, Listing::All, {true, false, true}, kDesignations, L"Прокладка", untyped, false,
         byPart(true, nutM12), {washer + ": note 1, comment \"c1\"", "Гайка М12: note 2, comment \"c2\", comment \"c0\"", handLine}},
        {"the same replaced by the set: the hand line stays", false, Listing::All, {true, false, true}, kDesignations,
         L"Прокладка", untyped, false, bySet,
         {handLine, bolt + ": note 0, comment \"c0\"", washer + ": note 1, comment \"c1\"", nut + ": note 2, comment \"c2\""}},
        {"the washer's line typed with the nut's designation, the bolt filed anew without spc data, rebuilt: each note stays "
         "with its member, the bolt's on its old line",
         true, Listing::All, {false, true, true}, kDesignations, L"", {L"", kDesignations[2], L""}, false, rebuild,
         {bolt + ": note 0, comment \"c0\"", washer + ": note 1, comment \"c1\"", nut + ": note 2, comment \"c2\""}},
        {"by its own nut: the nut keeps its line, with its note", true, Listing::All, allSpc, kDesignations, L"", untyped, false,
         byPart(true, ownNut),
         {nut + ": note 2, comment \"c2\", comment \"c0\", comment \"c1\""}},
        {"by its own nut, the washer's line typed over with the nut's designation: the nut keeps its own line", false, Listing::All,
         allSpc, kDesignations, L"", {L"", kDesignations[2], L""}, false, byPart(true, ownNut),
         {nut + ": note 2, comment \"c2\", comment \"c0\", comment \"c1\""}},
        {"the same replaced by a set without the washer: the nut keeps its own line, the washer's goes to the bolt's", false,
         Listing::All, allSpc, kDesignations, L"", {L"", kDesignations[2], L""}, false, bySetWithoutWasher,
         {bolt + ": note 0, comment \"c0\", comment \"c1\"", nut + ": note 2, comment \"c2\""}},
        {"by a part without spc data: its lines go but for the one the user attached", true, Listing::All, allSpc, kDesignations,
         L"Прокладка", untyped, false, byPart(false), {handLine}},
        {"the same without a leader", false, Listing::All, allSpc, kDesignations, L"Прокладка", untyped, false, byPart(false),
         {handLine}},
        {"without a leader, replaced by a set without the washer: the washer's line goes to the bolt's, the hand line stays", false,
         Listing::All, allSpc, kDesignations, L"Прокладка", untyped, false, bySetWithoutWasher,
         {handLine, bolt + ": note 0, comment \"c0\", comment \"c1\"", nut + ": note 2, comment \"c2\""}},
        {"unlisted: its member macros still tell its lines, which give their comments to the part's line and go", true, Listing::None,
         allSpc, kDesignations, L"", untyped, false, byPart(true),
         {"Гайка М12: note 0, comment \"c0\", comment \"c1\", comment \"c2\""}},
        {"unlisted, a line attached by hand showing the bolt's designation and a note of its own: it stays", true, Listing::None,
         allSpc, kDesignations, kDesignations[0], untyped, false, byPart(true),
         {"Гайка М12: note 0, comment \"c0\", comment \"c1\", comment \"c2\"", bolt + ": by hand, comment \"by hand\""}},
        {"its members now without spc data, by a part without: the lines the user wrote on stay", true, Listing::All,
         {false, false, false}, kDesignations, L"Прокладка", untyped, false, byPart(false),
         {bolt + ": note 0, comment \"c0\"", washer + ": note 1, comment \"c1\"", nut + ": note 2, comment \"c2\"", handLine}},
        {"its washer now without spc data, by its nut in another size: the nut's line is rebuilt, the washer's noted one stays",
         false, Listing::All, {true, false, true}, kDesignations, L"", untyped, false, byPart(true, nutM12),
         {washer + ": note 1, comment \"c1\"", "Гайка М12: note 2, comment \"c2\", comment \"c0\""}},
        {"without a leader, rebuilt: the line attached by hand stays, each member keeps its own", false, Listing::All, allSpc,
         kDesignations, L"Прокладка", untyped, false, rebuild,
         {handLine, bolt + ": note 0, comment \"c0\"", sim::Utf8(kDesignations[1]) + ": note 1, comment \"c1\"",
          nut + ": note 2, comment \"c2\""}},
        {"the same replaced by the set", false, Listing::All, allSpc, kDesignations, L"Прокладка", untyped, false, bySet,
         {handLine, bolt + ": note 0, comment \"c0\"", sim::Utf8(kDesignations[1]) + ": note 1, comment \"c1\"",
          nut + ": note 2, comment \"c2\""}},
        {"the bolt and the nut of one designation, the washer's line typed over with it, rebuilt: each keeps its own", true,
         Listing::All, allSpc, {part, kDesignations[1], part}, L"", {part, part, part}, false, rebuild,
         {sim::Utf8(part) + ": note 0, comment \"c0\"", sim::Utf8(kDesignations[1]) + ": note 1, comment \"c1\"",
          sim::Utf8(part) + ": note 2, comment \"c2\""}},
        // A member without a line of its own takes none the user attached: in a set without a leader a line no
        // member shows is a member's only between its neighbours' lines, or where the lines are as many as the
        // members with spc data.
        {"its washer's line deleted by the user, no leader, a line attached by hand, rebuilt: the washer gets a bare line",
         false, Listing::All, allSpc, kDesignations, L"Прокладка", untyped, false, rebuild,
         {handLine, bolt + ": note 0, comment \"c0\"", washer + ": ", nut + ": note 2, comment \"c2\""}, 1},
        {"its washer without spc data and no line of its own, no leader, a line attached by hand, rebuilt: the hand line "
         "stays", false, Listing::All, {true, false, true}, kDesignations, L"Прокладка", untyped, false, rebuild,
         {handLine, bolt + ": note 0, comment \"c0\"", nut + ": note 2, comment \"c2\""}, 1},
        {"the same replaced by a part", false, Listing::All, {true, false, true}, kDesignations, L"Прокладка", untyped, false,
         byPart(true, nutM12), {"Гайка М12: note 2, comment \"c2\", comment \"c0\"", handLine}, 1},
        {"the same replaced by the set: the washer gets a bare line", false, Listing::All, {true, false, true}, kDesignations,
         L"Прокладка", untyped, false, bySet, {handLine, bolt + ": note 0, comment \"c0\"", washer + ": ", nut + ": note 2, comment \"c2\""},
         1},
        {"a member the reference book added since (listed, neither drawn nor lined), no leader, a line attached by hand, "
         "rebuilt: it takes no line left over", false, Listing::All, allSpc, kDesignations, L"Прокладка", untyped, false,
         washerUndrawn, {handLine, bolt + ": note 0, comment \"c0\"", washer + ": ", nut + ": note 2, comment \"c2\""}, 1},
        // A member the set draws nothing of keeps its place among the members, as a drawn one does.
        {"the set drawing nothing of its washer, no leader, the washer's line typed with the nut's designation, rebuilt: "
         "each note stays with its member", false, Listing::All, allSpc, kDesignations, L"", {L"", kDesignations[2], L""}, false,
         washerUndrawn, {bolt + ": note 0, comment \"c0\"", washer + ": note 1, comment \"c1\"", nut + ": note 2, comment \"c2\""}},
        {"unlisted, no leader, the nut's line typed over, replaced by its nut in another size: members read in the drawing's "
         "order are never paired by place", false, Listing::None, allSpc, kDesignations, L"", {L"", L"", L"мой текст"}, false,
         byPart(true, nutM12), {"Гайка М12: note 2, comment \"c2\", comment \"c0\", comment \"c1\""}},
        {"the washer's and the nut's designations swapped, each line naming its member: each keeps its own", true, Listing::All,
         allSpc, kDesignations, L"", {L"", kDesignations[2], kDesignations[1]}, true, rebuild,
         {bolt + ": note 0, comment \"c0\"", sim::Utf8(kDesignations[1]) + ": note 1, comment \"c1\"",
          nut + ": note 2, comment \"c2\""}},
        // A line typed over in its member's place stays that member's wherever the user's line stands.
        {"replaced by the set, which lists the hand line first, the washer's new line typed with the nut's designation, "
         "rebuilt: each note stays with its member", false, Listing::All, allSpc, kDesignations, L"Прокладка", untyped, false,
         [&](long placed) {
             bySet(placed);
             LinesOf(placed).at(2)->ColumnA(5, 1)->SetText(kDesignations[2]);
             rebuild(placed);
         },
         {handLine, bolt + ": note 0, comment \"c0\"", washer + ": note 1, comment \"c1\"", nut + ": note 2, comment \"c2\""}},
        {"the same replaced by the set again", false, Listing::All, allSpc, kDesignations, L"Прокладка", untyped, false,
         [&](long placed) {
             bySet(placed);
             LinesOf(placed).at(2)->ColumnA(5, 1)->SetText(kDesignations[2]);
             bySet(placed);
         },
         {handLine, bolt + ": note 0, comment \"c0\"", washer + ": note 1, comment \"c1\"", nut + ": note 2, comment \"c2\""}},
        {"the bolt's line typed with the washer's designation, the hand line last, no leader, rebuilt: the bolt keeps it",
         false, Listing::All, allSpc, kDesignations, L"Прокладка", {kDesignations[1], L"", L""}, false, rebuild,
         {handLine, bolt + ": note 0, comment \"c0\"", washer + ": note 1, comment \"c1\"", nut + ": note 2, comment \"c2\""}},
        // A set whose washer never had spc data: the bolt's and the nut's lines only.
        {"its washer never with spc data, no leader, the bolt's line typed with the nut's designation, rebuilt: each note "
         "stays with its member", false, Listing::All, {true, false, true}, kDesignations, L"", {kDesignations[2], L"", L""},
         false, rebuild, {bolt + ": note 0, comment \"c0\"", nut + ": note 2, comment \"c2\""}, 1},
        {"the same with its leader", true, Listing::All, {true, false, true}, kDesignations, L"", {kDesignations[2], L"", L""},
         false, rebuild, {bolt + ": note 0, comment \"c0\"", nut + ": note 2, comment \"c2\""}, 1},
        {"its washer never with spc data, no leader, the nut's line typed with a text no member shows, rebuilt: the nut keeps "
         "it", false, Listing::All, {true, false, true}, kDesignations, L"", {L"", L"", L"мой текст"}, false, rebuild,
         {bolt + ": note 0, comment \"c0\"", nut + ": note 2, comment \"c2\""}, 1},
        {"its washer never with spc data, no leader, the washer listed by hand with its designation and a note, rebuilt: "
         "the hand line stays", false, Listing::All, {true, false, true}, kDesignations, kDesignations[1], untyped, false,
         rebuild, {washer + ": by hand, comment \"by hand\"", bolt + ": note 0, comment \"c0\"", nut + ": note 2, comment \"c2\""},
         1},
        {"the same replaced by the set, which gives the washer a line: the hand line is rebuilt as the washer's, its note kept",
         false, Listing::All, {true, false, true}, kDesignations, kDesignations[1], untyped, false, bySet,
         {bolt + ": note 0, comment \"c0\"", washer + ": by hand, comment \"by hand\"", nut + ": note 2, comment \"c2\""}, 1},
        // A replace lists the lines it hands on before those it makes: a line listed by hand with a member's
        // exact designation then stands before the member's own.
        {"a line listed by hand with the nut's designation and a note, no leader, replaced by the set, then rebuilt: the "
         "nut keeps its own line, the hand line stays the user's", false, Listing::All, allSpc, kDesignations, kDesignations[2],
         untyped, false,
         [&](long placed) {
             bySet(placed);
             rebuild(placed);
         },
         {nut + ": by hand, comment \"by hand\"", bolt + ": note 0, comment \"c0\"", washer + ": note 1, comment \"c1\"",
          nut + ": note 2, comment \"c2\""}},
        {"a line listed by hand with the washer's designation and a note, no leader, replaced by the set, then by a set "
         "without the washer: the hand line stays, the washer's own goes", false, Listing::All, allSpc, kDesignations,
         kDesignations[1], untyped, false,
         [&](long placed) {
             bySet(placed);
             bySetWithoutWasher(placed);
         },
         {washer + ": by hand, comment \"by hand\"", bolt + ": note 0, comment \"c0\", comment \"c1\"", nut + ": note 2, comment \"c2\""}},
    };
    // Every row with the "ID Normset" column naming each line's member and without it, unless it needs it.
    for (const Replaced& row : replaced)
        for (const bool ids : {true, false}) {
            if (row.ids && !ids)
                continue;
            SCOPED_TRACE(std::string(row.what) + (ids ? ", with the identity column" : ", without the identity column"));
            const long placedSet = PlaceSet(row.leader);
            std::vector<sim::SpcObject*> placedLines = note(placedSet);
            for (size_t i = 0; i < row.typed.size() && i < placedLines.size(); ++i)
                if (!row.typed[i].empty())
                    placedLines[i]->ColumnA(5, 1)->SetText(row.typed[i]);
            if (ids)
                for (size_t i = 0; i < placedLines.size(); ++i)
                    placedLines[i]->ColumnB(20, 1)->SetText(L"Q-" + std::to_wstring(i));
            if (row.deleted >= 0)
                deleteLine(placedLines[row.deleted]);
            if (!row.byHand.empty())
                attachByHand(placedSet, row.byHand);
            listMembers(row.membersSpc, row.shown, ids);
            const std::wstring withoutWasher = kListedIds[0] + L"\r\n" + kListedIds[2] + L"\r\n";
            book_->SetClientString(IdOf(placedSet), row.listed == Listing::None            ? L""
                                                    : row.listed == Listing::WithoutWasher ? withoutWasher
                                                                                           : members);
            if (row.listed == Listing::WasherDamaged)
                book_->SetPlacedResponse(kListedIds[1], L"<response/>");
            row.road(placedSet);
            EXPECT_EQ(Typed(placedSet), row.left);
        }
}

// A single part is a set of one: on every road that rebuilds or replaces it, it has one line of itself, and
// every line the user attached to it stays as the user made it.
TEST_F(TCS2D, EveryRoadThatRebuildsOrReplacesAPartKeepsOneLineOfItAndEveryLineTheUserAttached)
{
    Spc().DefineColumnA({9, 1, L"Примечание"});
    // As the spc command rebuilds each part of the drawing.
    const auto rebuild = [&](long macro) {
        const NMVelObj2D placed(App5(), App7(), Client(), macro, false);
        auto part = MakePart(true, {}, macro);
        part->MoveAnswer = NMVelObj::KeepPlaceSilently;
        part->RecreatePlacedSpcObject(part->Context(true), placed, false);
    };
    const auto byPart = [&](bool spc, std::vector<Attr> attrs = {}) {
        return [=, this](long macro) { MakePart(spc, attrs, macro)->Apply(); };
    };
    const auto byWasher = [&](long macro) { MakePart<NMVelmarFragment2D>(true, {}, macro)->Apply(); };
    const auto bySet = [&](long macro) { MakeSet(macro)->Replace(); };
    const auto drag = [&](bool commit, int times = 1) { return [=, this](long macro) { DragSizeToM16(macro, commit, times); }; };
    const std::vector<Attr> nutM16 = {{L"NM_IID", L"PART:5915[d=16]"}};
    const std::vector<Attr> setsNut = {{L"NM_IID", L"PART:5915-70[d=12]"}};
    // What the user made beside the part's own line ("Гайка М12", a note and a comment).
    enum class Beside { HandLine, HandLineAndSecond, TypedOverAndHandLine, HandLineShowingItsText };
    struct Row {
        const char* what;
        Beside beside;
        std::function<void(long)> road;
        std::vector<std::string> left;
        std::vector<std::string> leftWithColumn;   // where the "ID Normset" column tells otherwise
        bool leader = true;                        // the row runs with the part's leader in its own line too
    };
    const std::string own = "Гайка М12: note, comment \"own\"";
    const std::string hand = "Прокладка: by hand, comment \"by hand\"";
    const std::string typedOver = "мой текст: note, comment \"own\"";
    const std::string set = sim::Utf8(kDesignations[0]) + ": ";
    const Row rows[] = {
        {"rebuilt", Beside::HandLine, rebuild, {own, hand}, {}},
        {"replaced by itself", Beside::HandLine, byPart(true), {own, hand}, {}},
        {"replaced by another size", Beside::HandLine, byPart(true, nutM16), {own, hand}, {}},
        {"replaced by a washer", Beside::HandLine, byWasher, {"Шайба 8: note, comment \"own\"", hand}, {}},
        {"replaced by a part without spc data: its own line goes", Beside::HandLine, byPart(false), {hand}, {}},
        {"replaced by the set: its line goes to the set's first member, none being of its kind; the hand line stays",
         Beside::HandLine, bySet,
         {hand, set + "note, comment \"own\"", sim::Utf8(kDesignations[1]) + ": ", sim::Utf8(kDesignations[2]) + ": "}, {}},
        {"a nut of the set's standard replaced by the set: its line goes to the set's nut", Beside::HandLine,
         [&](long macro) {
             MakePart(true, setsNut, macro)->RebuildMacro();
             MakeSet(macro)->Replace();
         },
         {hand, set, sim::Utf8(kDesignations[1]) + ": ", sim::Utf8(kDesignations[2]) + ": note, comment \"own\""}, {}},
        // The drag's steps redraw the macro: its lines are told by the part as it stood before the first step.
        {"its size dragged to М16 and committed", Beside::HandLine, drag(true), {"Гайка М16: note, comment \"own\"", hand}, {},
         false},
        {"its size dragged to М16 and cancelled", Beside::HandLine, drag(false), {own, hand}, {}, false},
        {"its size dragged twice, both committed: the second drag tells the lines by the part the first left",
         Beside::HandLine, drag(true, 2), {"Гайка М20: note, comment \"own\"", hand}, {}, false},
        {"a second line of itself made before, rebuilt: one line with the comments of both", Beside::HandLineAndSecond, rebuild,
         {hand, "Гайка М12: note, comment \"own\", comment \"second\""}, {}},
        {"the same replaced by a washer", Beside::HandLineAndSecond, byWasher,
         {"Шайба 8: note, comment \"own\", comment \"second\"", hand}, {}},
        // A line the user typed with the part's own text and wrote on is not the part's second line.
        {"a hand line showing the part's text and a note of its own, rebuilt", Beside::HandLineShowingItsText, rebuild,
         {own, "Гайка М12: by hand, comment \"by hand\""}, {}},
        {"the same replaced by another size", Beside::HandLineShowingItsText, byPart(true, nutM16),
         {own, "Гайка М12: by hand, comment \"by hand\""}, {}},
        {"its own line typed over, rebuilt: nothing tells it, a new line is made and the old ones stay", Beside::TypedOverAndHandLine,
         rebuild, {typedOver, hand, "Гайка М12: "}, {"Гайка М12: note, comment \"own\"", hand}},
        {"the same replaced by another size", Beside::TypedOverAndHandLine, byPart(true, nutM16), {typedOver, hand, "Гайка М12: "},
         {"Гайка М12: note, comment \"own\"", hand}},
    };
    // The combinations a road meets: the part's position leader in its own line or not, the "ID Normset"
    // column or not, a line the user attached or none. Each row runs in the user's (no leader, no column, a
    // line attached) and in one other, the others taken in turn across the rows, so that every combination
    // is run without running every row in all eight.
    struct Combination {
        bool leader, column, attached;
    };
    const Combination user{false, false, true};
    std::vector<Combination> others;
    for (const bool leader : {false, true})
        for (const bool column : {true, false})
            for (const bool attached : {true, false})
                if (leader || column || !attached)
                    others.push_back({leader, column, attached});
    std::set<std::tuple<bool, bool, bool>> run;
    size_t next = 0;
    for (const Row& row : rows) {
        // A row about the line the user attached runs with it.
        const bool aboutTheLine = row.beside == Beside::HandLineShowingItsText || row.beside == Beside::TypedOverAndHandLine;
        std::vector<Combination> combinations{user};
        for (size_t tried = 0; tried < others.size(); ++tried) {
            const Combination other = others[next++ % others.size()];
            if ((row.leader || !other.leader) && (!aboutTheLine || other.attached)) {
                combinations.push_back(other);
                break;
            }
        }
        for (const Combination& c : combinations) {
            SCOPED_TRACE(std::string(row.what) + (c.leader ? ", its leader in its own line" : "") +
                         (c.column ? ", with the identity column" : "") + (c.attached ? ", a line attached" : ""));
            run.insert({c.leader, c.column, c.attached});
            auto placed = MakePart();
            placed->PlaceAt(10, 10, 0);
            const long macro = placed->macro;
            sim::SpcObject& ownLine = *LinesOf(macro).at(0);
            ownLine.ColumnB(20, 1)->SetText(c.column ? L"1188:40127" : L"");
            ownLine.ColumnA(9, 1)->SetText(L"note");
            ownLine.AddComment("own");
            if (c.leader)
                ownLine.Link(*velmar().Drawings().DrawingObject(Drawing().AddLeader({})));
            if (row.beside == Beside::TypedOverAndHandLine)
                ownLine.ColumnA(5, 1)->SetText(L"мой текст");
            if (row.beside == Beside::HandLineAndSecond) {
                sim::SpcObject& second = Spc().AddObject(25);
                second.Link(*velmar().Drawings().DrawingObject(macro));
                second.ColumnA(5, 1)->SetText(L"Гайка М12");
                second.ColumnB(20, 1)->SetText(ownLine.ColumnB(20, 1)->Text());
                second.AddComment("second");
            }
            if (c.attached) {
                sim::SpcObject& byHand = Spc().AddObject(25);
                byHand.Link(*velmar().Drawings().DrawingObject(macro));
                byHand.ColumnA(5, 1)->SetText(row.beside == Beside::HandLineShowingItsText ? L"Гайка М12" : L"Прокладка");
                byHand.ColumnA(9, 1)->SetText(L"by hand");
                byHand.AddComment("by hand");
            }
            row.road(macro);
            // The column tells the own line where it has a value; else a leader in it tells it where it is typed over.
            const bool told = c.column || (c.leader && row.beside == Beside::TypedOverAndHandLine);
            std::vector<std::string> left = told && !row.leftWithColumn.empty() ? row.leftWithColumn : row.left;
            if (!c.attached)
                std::erase(left, hand);
            EXPECT_EQ(Typed(macro), left);
        }
    }
    EXPECT_EQ(run.size(), 8u) << "a combination no row runs in";
}

TEST_F(TCS2D, AMacroThatCannotBeReopenedPlacesNoSetAndASpcDrawingGetsOnlySpcObjects)
{
    Drawing().RefuseReopen(1);
    velmar().User().Answer("panel", _variant_t(L"cursor 100 50 0; ok"));
    std::wstring failure;
    try {
        MakeSet()->Apply();
    } catch (...) {
        failure = DescribeCurrentException().message;
    }
    EXPECT_EQ(failure, L"Can't create macro object");
    EXPECT_EQ(Macros(), std::vector<long>{});
    EXPECT_EQ(velmar().OpenBrackets(), Lines{});

    velmar().User().Clear();
    journal().Clear();
    MakeSet(0, true)->Apply();
    EXPECT_EQ(SpcTexts(), kDesignations);
    EXPECT_EQ(SpcGeometry(), (std::vector<std::vector<std::string>>(3)));
    EXPECT_EQ(journal().LinesOf("drawing5").size(), 0u) << "nothing drawn";
}

TEST_F(TCS2D, FillFromMacroReadsTheMembersTheReferenceBookListsForTheSet)
{
    auto set = MakeSet();
    set->NM_ID = L"TCS:1";
    book_->SetClientString(L"TCS:1", L"PART:5915-70[d=8]\r\n\r\nPART:11371-78[d=8]\r\n");
    const std::wstring nut = L"<response><objectcollection><object><classid>Method</classid><attributecollection>"
                             L"<attribute><name>NM_IID</name><value>PART:5915-70[d=8]</value></attribute>"
                             L"<attribute><name>Designation</name><value>Гайка</value></attribute></attributecollection></object></objectcollection></response>";
    book_->SetPlacedResponse(L"PART:5915-70[d=8]", nut);
    const auto failure = [&] {
        try {
            set->FillFromMacro();
        } catch (const BadResponse& error) {
            return error.Reason();
        }
        return std::wstring();
    };
    EXPECT_EQ(failure(), L"No response");
    book_->SetPlacedResponse(L"PART:11371-78[d=8]", L"<response/>");
    EXPECT_EQ(failure(), L"No objects in response");
    book_->SetPlacedResponse(L"PART:11371-78[d=8]", nut);
    EXPECT_EQ(failure(), L"");
    ASSERT_EQ(set->Parts.size(), 2u);
    for (const auto& member : set->Parts) {
        EXPECT_EQ(member.part->NM_ID, L"PART:5915-70[d=8]");
        EXPECT_EQ(member.part->MoveAnswer, 3);
        EXPECT_EQ(typeid(*member.part), typeid(NMVelObj2D));
    }
}

// A set placed in a drawing that holds a nut: whatever host call fails, no bracket stays open, the nut
// is as it was, and the set is either absent or whole (its three members with their identities).
// A set placed beside a part while each host call fails in turn, shared out over two test cases, each well
// inside its time limit on a busy machine.
void TCS2D::SweepASetPlacedBesideAPart(test_support::SweptShare share)
{
    long nut = 0;
    std::vector<long> nutContents;
    SweepDrawingFailures(
        [&] {
            Restart();
            AddSampleWasher();
            auto part = MakePart();
            velmar().User().Answer("panel", _variant_t(L"cursor 10 10 0; ok"));
            velmar().User().Answer("leader", _variant_t(L"none"));
            velmar().User().Answer("panel", _variant_t(L"cancel"));
            part->Apply();
            nut = Macros().at(0);
            nutContents = Drawing().Contents(nut);
            velmar().User().Clear();
            velmar().User().Answer("panel", _variant_t(L"cursor 100 50 0; ok"));
            velmar().User().Answer("leader", _variant_t(L"130,80"));
            velmar().User().Answer("panel", _variant_t(L"cancel"));
            return std::function<void()>([this] { MakeSet()->Apply(); });
        },
        [&](const sim::Call& failed) {
            const std::string call = failed.Text();
            ASSERT_NE(Drawing().Find(nut), nullptr) << call;
            EXPECT_EQ(Drawing().Contents(nut), nutContents) << call;
            EXPECT_EQ(IdOf(nut), L"PART:5915[d=12]") << call;
            for (long macro : Macros()) {
                if (macro != nut && Drawing().IdentityOf(macro).size() > 1 && Drawing().IdentityOf(macro)[1] == L"TKR2D") {
                    EXPECT_EQ(MemberIds(macro), kMemberIds) << call;
                }
            }
            EXPECT_LE(Macros().size(), 2u) << call;
        },
        share);
}

TEST_F(TCS2D, NoFailureLeavesABracketOpenTheEarlierPartChangedOrHalfASetOddCalls)
{
    SweepASetPlacedBesideAPart({0, 2});
}

TEST_F(TCS2D, NoFailureLeavesABracketOpenTheEarlierPartChangedOrHalfASetEvenCalls)
{
    SweepASetPlacedBesideAPart({1, 2});
}

// A noted set with a line the user attached, replaced (road) while each host call fails in turn: whatever the
// failure, the line the user attached stays as made, no comment is lost, and the set keeps its old lines or
// has its new ones (newLines), never both. One test case a road, or a share of a road's calls, each well inside
// its time limit on a busy machine.
void TCS2D::SweepASetsReplace(const std::function<void(long)>& road, size_t newLines, test_support::SweptShare share)
{
    long set = 0;
    SweepDrawingFailures(
        [&] {
            Restart();
            AddSampleWasher();
            // As the user meets it: no leader, no "ID Normset" column, a line attached.
            set = PlaceSet(false);
            const std::vector<sim::SpcObject*> lines = Spc().Objects();
            for (size_t i = 0; i < lines.size(); ++i)
                lines[i]->AddComment("c" + std::to_string(i));
            sim::SpcObject& byHand = Spc().AddObject(25);
            byHand.Link(*velmar().Drawings().DrawingObject(set));
            byHand.ColumnA(5, 1)->SetText(L"Прокладка");
            byHand.AddComment("by hand");
            return std::function<void()>([&] { road(set); });
        },
        [&](const sim::Call& failed) {
            const std::string call = failed.Text();
            std::vector<std::string> comments;
            size_t hand = 0;
            size_t others = 0;
            for (sim::SpcObject* line : Spc().Objects()) {
                if (line->ColumnA(5, 1)->Text() == L"Прокладка") {
                    ++hand;
                    EXPECT_EQ(line->Comments(), std::vector<std::string>{"by hand"}) << call;
                } else {
                    ++others;
                    for (const std::string& comment : line->Comments())
                        comments.push_back(comment);
                }
            }
            EXPECT_EQ(hand, 1u) << call;
            std::sort(comments.begin(), comments.end());
            EXPECT_EQ(comments, (std::vector<std::string>{"c0", "c1", "c2"})) << call;
            EXPECT_TRUE(others == 3 || others == newLines) << call << ": " << others << " lines";
        },
        share);
}

TEST_F(TCS2D, AFailedCallOfASetsReplaceBySetLosesNoCommentAndKeepsTheUsersLineOddCalls)
{
    SweepASetsReplace([&](long set) { MakeSet(set, false, SetWithoutWasher())->Replace(); }, 2, {0, 2});
}

TEST_F(TCS2D, AFailedCallOfASetsReplaceBySetLosesNoCommentAndKeepsTheUsersLineEvenCalls)
{
    SweepASetsReplace([&](long set) { MakeSet(set, false, SetWithoutWasher())->Replace(); }, 2, {1, 2});
}

TEST_F(TCS2D, AFailedCallOfASetsReplaceByPartLosesNoCommentAndKeepsTheUsersLine)
{
    SweepASetsReplace([&](long set) { MakePart(true, {{L"NM_IID", L"PART:5915-70[d=12]"}}, set)->Apply(); }, 1);
}
