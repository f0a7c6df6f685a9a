// The hot points of a selected library macro as Velmar reaches them: the export, the two faces and their
// counts, the packed point record, names and values, a turn, and size drags committed and cancelled with
// the reference book answering each step.
#include "insert2d/hot_point_2d.h"

#include "core/display_name.h"
#include "core/module.h"
#include "insert2d/drawing_stand_in.h"
#include "insert2d/user_data_block.h"
#include "library/command_dispatch.h"
#include "library/command_table.h"
#include "library/exports.h"
#include "support/library_holds_velmar.h"

#include <cmath>
#include <cstring>
#include <limits>

using namespace drawing_test;

namespace {

const wchar_t kNutId[] = L"PART:5915[d=12]";

class HotPoints : public LibraryHoldsVelmar<DrawingStandIn> {
protected:
    HotPoints()
    {
        testhooks::SetModuleHandle(reinterpret_cast<HINSTANCE>(0x12340000));
        book_->SetHotPoints(L"5915", L"d||16||12||10\r\n");
        book_->SetPlacedResponse(kNutId, SizedNutResponse(L"12"));
        book_->SetDragResult(kNutId, SizedNutResponse(L"16"));
    }
    void TearDown() override
    {
        testhooks::SetModuleHandle(nullptr);
        SetLibraryDisplayName(L"");
        LibraryHoldsVelmar::TearDown();
    }

    // The nut placed at (100, 50) turned by angle, selected.
    long SelectNut(double angle = 0)
    {
        auto nut = MakePart();
        nut->PlaceAt(100, 50, angle);
        document_->V5().Value(IVel5Document2D::SelectedMacro) = nut->macro;
        return nut->macro;
    }

    // What Velmar gets for type 1.
    ILibHPObject* Entry()
    {
        IUnknown* object = reinterpret_cast<IUnknown*>(1);
        LibObjInterfaceEntry(1, 0, &object);
        return static_cast<ILibHPObject*>(object);
    }

    std::wstring IdOf(long macro) { return Drawing().IdentityOf(macro).at(2); }
    // The designation the bill of materials shows for the drawing's one spc object.
    std::wstring Designation()
    {
        const std::vector<sim::SpcObject*> objects = Spc().Objects();
        return objects.size() == 1 && objects[0]->ColumnA(5, 1) ? objects[0]->ColumnA(5, 1)->Text() : L"(not one)";
    }
};

} // namespace

TEST_F(HotPoints, TheExportHandsOutTheFirstFaceWithOneReferenceAndItsPointsAsVelmarReadsThem)
{
    const long macro = SelectNut();
    ILibHPObject* points = Entry();
    ASSERT_NE(points, nullptr);
    // The set-up of the hot points' context, sent whatever a controller sent before.
    const sim::InstrumentOptions& sent = book_->InstrumentOptionsSent().back();
    EXPECT_EQ(sent.instrument, L"Velmar");
    EXPECT_EQ(sent.documentId, L"2D");
    EXPECT_EQ(sent.containerId, L"0");
    EXPECT_EQ(sent.mask, 15);

    ILibHPObject1* second = nullptr;
    IUnknown* unknown = nullptr;
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(points->QueryInterface(__uuidof(ILibHPObject1), reinterpret_cast<void**>(&second)), S_OK);
    EXPECT_EQ(second->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(points));
    EXPECT_NE(static_cast<void*>(second), static_cast<void*>(points));
    EXPECT_EQ(points->QueryInterface(IID_IDispatch, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(second->Release(), 2u);
    EXPECT_EQ(unknown->Release(), 1u);

    // x at 0, y at 8, 16 to 23 Velmar's, the cursor at 24, the module at 28.
    const auto point = [&](long index, long expected) {
        unsigned char record[40];
        std::memset(record, 0xAB, sizeof record);
        EXPECT_EQ(points->GetPoint(reinterpret_cast<LibHPPoint*>(record), index), expected) << index;
        double x, y;
        int32_t cursor;
        uint64_t module;
        std::memcpy(&x, record, 8);
        std::memcpy(&y, record + 8, 8);
        std::memcpy(&cursor, record + 24, 4);
        std::memcpy(&module, record + 28, 8);
        for (int i = 16; i < 24; ++i)
            EXPECT_EQ(record[i], 0xAB) << index;
        EXPECT_EQ(record[36], 0xAB) << index;
        return std::make_tuple(x, y, cursor, module);
    };
    const int32_t untouched = static_cast<int32_t>(0xABABABAB);
    EXPECT_EQ(point(0, 1), std::make_tuple(0.0, 0.0, untouched, 0xABABABABABABABABull));
    // The nut's drawing reaches x = 12 along its axis (its segment): point 1 at 0.8 of that.
    EXPECT_EQ(point(1, 1), std::make_tuple(0.8 * 12, 0.0, 114, 0x12340000ull));
    EXPECT_EQ(point(2, 1), std::make_tuple(6.0, 0.0, 111, 0x12340000ull));
    point(3, 0);
    point(-1, 0);

    const auto text = [&](long index) {
        const BSTR value = second->GetValueText(index);
        const std::wstring copy = value ? value : L"(none)";
        SysFreeString(value);
        return copy;
    };
    const wchar_t* name = nullptr;
    EXPECT_EQ(second->GetName(&name, 2), 1);
    EXPECT_EQ(std::wstring(name), L"Резьба\nd");
    EXPECT_EQ(second->GetName(&name, 1), 1);
    EXPECT_EQ(std::wstring(name), L"A");
    EXPECT_EQ(second->GetName(&name, 3), 0);
    EXPECT_EQ(text(0), L"Гайка М12");
    EXPECT_EQ(text(1), L"A = 0.00°");
    EXPECT_EQ(text(2), L"d = 12");
    EXPECT_EQ(text(3), L"(none)");
    EXPECT_EQ(points->Release(), 0u);

    // The next command's controller sets the reference book up again for its own context.
    const size_t before = book_->InstrumentOptionsSent().size();
    std::wstring title, message;
    ExecuteLibCommand(FindLibCommand(1), title, message);
    EXPECT_EQ(book_->InstrumentOptionsSent().size(), before + 1);
    EXPECT_EQ(IdOf(macro), kNutId);
}

TEST_F(HotPoints, ASizeDragRedrawsThePartInItsMacroAndReleasingCommitsOrPutsItBack)
{
    book_->SetHotPoints(L"5915", L"d||16||12||10||20\r\n");
    for (const bool commit : {true, false}) {
        SCOPED_TRACE(commit ? "commit" : "cancel");
        Open();
        const long macro = SelectNut();
        ILibHPObject* points = Entry();
        ASSERT_NE(points, nullptr);
        ILibHPObject1* second = nullptr;
        points->QueryInterface(__uuidof(ILibHPObject1), reinterpret_cast<void**>(&second));
        const size_t asked = velmar().User().Questions().size();
        journal().Clear();
        book_->SetDragResult(kNutId, SizedNutResponse(L"16"));
        EXPECT_EQ(second->BeginDrag(2), 1);
        // 3 along x from the point is 15, which stays at 12; 5 is 17, between 16 and 20: 16.
        const LibHPMove short_{9, 0}, beyond{11, 0};
        points->MovePoint(&short_, 2);
        EXPECT_EQ(IdOf(macro), kNutId);
        points->MovePoint(&beyond, 2);
        EXPECT_EQ(journal().LinesOf("client"), (Lines{"client#37(\"d=16\",\"ВЕЛМАР 2D\",\"PART:5915[d=12]\",&)"}));
        EXPECT_EQ(TypesIn(macro), (std::vector<long>{1, 3}));
        EXPECT_EQ(Drawing().Find(macro)->x, 100);
        // The drag goes on to M20, whose answer cannot be drawn: the user is told, and M16 stays the part
        // a release accepts.
        book_->SetDragResult(kNutId, SizedNutResponse(L"20", L"missing.vbs"));
        const LibHPMove further{13, 0};
        points->MovePoint(&further, 2);
        EXPECT_EQ(velmar().User().Questions().size(), asked + 1);
        EXPECT_EQ(IdOf(macro), L"PART:5915[d=16]");
        EXPECT_EQ(points->Refresh(0, commit ? 1 : 0), 1);
        EXPECT_EQ(second->EndDrag(), 1);
        EXPECT_EQ(Macros(), std::vector<long>{macro});
        const std::wstring d = commit ? L"16" : L"12";
        const std::wstring kept = L"PART:5915[d=" + d + L"]";
        EXPECT_EQ(IdOf(macro), kept);
        EXPECT_EQ(Designation(), L"Гайка М" + d);
        EXPECT_EQ(TypesIn(macro), (std::vector<long>{1, 3}));
        // The points are the kept part's, and later drags that step nowhere change nothing, however released.
        const BSTR value = second->GetValueText(2);
        EXPECT_EQ(std::wstring(value), L"d = " + d);
        SysFreeString(value);
        for (const long release : {1, 0}) {
            second->BeginDrag(2);
            points->MovePoint(&short_, 2);
            points->Refresh(0, release);
            second->EndDrag();
            EXPECT_EQ(IdOf(macro), kept) << release;
        }
        // A later step down, cancelled, puts the kept part back.
        const std::wstring down = commit ? L"12" : L"10";
        book_->SetDragResult(kNutId, SizedNutResponse(down));
        second->BeginDrag(2);
        const LibHPMove lower{std::stoi(d) / 2 - 3.0, 0};
        points->MovePoint(&lower, 2);
        EXPECT_EQ(IdOf(macro), L"PART:5915[d=" + down + L"]");
        points->Refresh(0, 0);
        second->EndDrag();
        EXPECT_EQ(IdOf(macro), kept);
        EXPECT_EQ(Designation(), L"Гайка М" + d);
        EXPECT_EQ(velmar().User().Questions().size(), asked + 1) << "no other failure shown";
        EXPECT_EQ(velmar().OpenBrackets(), Lines{});
        second->Release();
        points->Release();
    }
}

TEST_F(HotPoints, TurningFrom350By20ShowsTenDegreesAndACancelOrAPointThatIsNoNumberLeavesTheMacro)
{
    const long macro = SelectNut(350);
    ILibHPObject* points = Entry();
    ASSERT_NE(points, nullptr);
    ILibHPObject1* second = nullptr;
    points->QueryInterface(__uuidof(ILibHPObject1), reinterpret_cast<void**>(&second));
    second->BeginDrag(1);
    const double radians = 20 * std::acos(-1.0) / 180;
    const LibHPMove turn{std::cos(radians), std::sin(radians)};
    points->MovePoint(&turn, 1);
    const BSTR value = second->GetValueText(1);
    EXPECT_EQ(std::wstring(value), L"A = 10.00°");
    SysFreeString(value);
    EXPECT_NEAR(Drawing().Find(macro)->angle, 370, 1e-9);
    points->Refresh(0, 0);
    EXPECT_EQ(Drawing().Find(macro)->angle, 350);
    second->EndDrag();
    // A drag to a point that is no number or infinite moves, turns and sizes nothing, even accepted.
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        long index;
        LibHPMove to;
    };
    for (const Row& row : {Row{0, {inf, 0}}, Row{1, {nan, nan}}, Row{2, {-inf, 0}}}) {
        second->BeginDrag(row.index);
        EXPECT_EQ(points->MovePoint(&row.to, row.index), 0) << row.index;
        points->Refresh(0, 1);
        second->EndDrag();
        const sim::DrawnObject& placed = *Drawing().Find(macro);
        EXPECT_EQ(std::vector<double>({placed.x, placed.y, placed.angle}), std::vector<double>({100, 50, 350})) << row.index;
        EXPECT_EQ(IdOf(macro), kNutId) << row.index;
    }
    const BSTR restored = second->GetValueText(1);
    EXPECT_EQ(std::wstring(restored), L"A = 350.00°");
    SysFreeString(restored);
    second->Release();
    points->Release();
}

// A size step or a restore that fails is shown in Velmar's box, whatever failed; Refresh still answers 1.
TEST_F(HotPoints, AFailedSizeStepOrRestoreIsShownToTheUser)
{
    struct Case {
        const char* name;
        std::wstring dragAnswer;         // what 37 answers
        const char* failOnRelease;       // a member failing while the drag is released; none: ""
        const wchar_t* message;
        std::wstring left;               // the macro's identity afterwards
    };
    const Case cases[] = {
        {"an answer that is no response", L"<part", "", L"Данные об изделии некорректны (Error parsing start element tag).", kNutId},
        {"a cancel whose restore fails", SizedNutResponse(L"16"), "drawing5.137", L"0x80004005 Call failed.\r\nThe host call failed.", L"PART:5915[d=16]"},
        {"an answer whose part draws nothing", SizedNutResponse(L"16", L"empty.vbs"), "",
         L"Изделие \"Гайка М16\" ничего не нарисовало и не помещено в чертёж.", kNutId},
    };
    WriteFileBytes(folder_ / L"empty.vbs", kEmptyScript);
    // The name Velmar has read through the display-name export.
    SetLibraryDisplayName(L"Нормсет");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        book_->SetDragResult(kNutId, c.dragAnswer);
        const long macro = SelectNut();
        ILibHPObject* points = Entry();
        ASSERT_NE(points, nullptr);
        ILibHPObject1* second = nullptr;
        points->QueryInterface(__uuidof(ILibHPObject1), reinterpret_cast<void**>(&second));
        const size_t asked = velmar().User().Questions().size();
        second->BeginDrag(2);
        const LibHPMove beyond{11, 0};
        points->MovePoint(&beyond, 2);
        if (*c.failOnRelease)
            velmar().Faults().FailMember(c.failOnRelease, E_FAIL);
        EXPECT_EQ(points->Refresh(0, 0), 1);
        velmar().Faults().Clear();
        second->EndDrag();
        ASSERT_EQ(velmar().User().Questions().size(), asked + 1);
        const sim::Question& shown = velmar().User().Questions().back();
        EXPECT_EQ(shown.caption, L"Нормсет");
        EXPECT_EQ(shown.flags, 48);
        EXPECT_EQ(shown.text, c.message);
        EXPECT_EQ(IdOf(macro), c.left);
        EXPECT_EQ(velmar().OpenBrackets(), Lines{});
        second->Release();
        points->Release();
    }
}

// Whatever fails while the object is made, Velmar gets null and the object is gone. A set (no part key)
// has no size points and the reference book is not asked for them; nor has a part whose definition text
// defines no line, and its response is not asked for.
TEST_F(HotPoints, AFailureGivesNullAndAPartWithoutSizesOffersPoints0And1Only)
{
    SelectNut();
    velmar().Faults().FailMember("client#38", E_FAIL);
    EXPECT_EQ(Entry(), nullptr);
    velmar().Faults().Clear();

    struct Row {
        const char* what;
        PartIdentity identity;                // the selected macro's block
        const wchar_t* definitions;           // what 38 answers for the nut
        size_t clientCalls;                   // the set-up, then 38 when the part has a key
    };
    const Row rows[] = {
        {"a set", {L"Нормсет", L"TKR2D", L"TCS:1[d=8]", L"Комплект", L""}, L"d||16||12||10\r\n", 1},
        {"an empty text", {L"Нормсет", L"", kNutId, L"Гайка М12", L"nut.vbs"}, L"", 2},
        {"a line without its end", {L"Нормсет", L"", kNutId, L"Гайка М12", L"nut.vbs"}, L"d||16||12||10", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        book_->SetHotPoints(L"5915", row.definitions);
        const long macro = Drawing().AddMacro();
        Drawing().Find(macro)->block = EncodeUserData(row.identity);
        document_->V5().Value(IVel5Document2D::SelectedMacro) = macro;
        journal().Clear();
        ILibHPObject* points = Entry();
        ASSERT_NE(points, nullptr);
        LibHPPoint record{};
        EXPECT_EQ(points->GetPoint(&record, 1), 1);
        EXPECT_EQ(points->GetPoint(&record, 2), 0);
        EXPECT_EQ(journal().LinesOf("client").size(), row.clientCalls);
        points->Release();
    }
}
