// Fragment parts: the washer of the fragment library comes through a temporary document with the part's
// values for its variables, without its construction aids, over Velmar's clipboard into the drawing.
#include "insert2d/nm_velmar_fragment_2d.h"

#include "core/data_convert_error.h"
#include "insert2d/drawing_stand_in.h"

namespace {

using namespace drawing_test;

class Fragment2D : public DrawingStandIn {};

} // namespace

TEST_F(Fragment2D, OnlyTheDrawingOfTheFragmentWithThePartsValuesReachesTheMacro)
{
    auto part = MakePart<NMVelmarFragment2D>();
    part->CreateNewMacro();
    // The segment in the auxiliary style and the construction aid (type 9) stay behind.
    EXPECT_EQ(TypesIn(part->macro), (std::vector<long>{1, 3}));
    EXPECT_EQ(Macros(), std::vector<long>{part->macro});
    EXPECT_EQ(velmar().Drawings().LibrariesAsked(), std::vector<std::wstring>{folder_ / L"Washers.lfr|Шайба 8"});
    // "d" has a part value (a method parameter); "s" has none and keeps the library's.
    using Variables = std::vector<std::pair<std::wstring, double>>;
    EXPECT_EQ(velmar().Drawings().VariablesSettled(), (std::vector<Variables>{{{L"d", 10.0}, {L"s", 1.6}}}));
    EXPECT_EQ(velmar().Drawings().Clipboard().size(), 2u);
    // The group was begun and ended in the temporary document, and the document closed again.
    EXPECT_EQ(journal().Count("tempDoc.24(1)"), 1u);
    EXPECT_EQ(journal().Count("tempDoc.25()"), 1u);
    EXPECT_EQ(journal().Count("tempDoc.151()"), 1u);
    // The clipboard's group came just before its two objects and the macro.
    const std::string clipboardGroup = std::to_string(part->macro - 3);
    EXPECT_EQ(journal().LinesOf("drawing5"), (Lines{"drawing5.71()", "drawing5.11(1)", "drawing5.19()",
                                                    "drawing5.14(" + std::to_string(part->macro) + "," + clipboardGroup + ")"}));

    // A new group from the clipboard; the macro stays the one it was.
    const long macro = part->macro;
    part->CreateNewGroup();
    EXPECT_EQ(part->macro, macro);
    EXPECT_EQ(TypesIn(part->group), (std::vector<long>{1, 3}));

    // A null value of the part's is none: "s" keeps the library's, and the fragment is made.
    for (const wchar_t* none : {L"NULL_VALUE", L" "}) {
        MakePart<NMVelmarFragment2D>(true, {{L"s", none}})->CreateNewMacro();
        EXPECT_EQ(velmar().Drawings().VariablesSettled().back(), (Variables{{L"d", 10.0}, {L"s", 1.6}})) << sim::Utf8(none);
    }
}

TEST_F(Fragment2D, AFragmentThatCannotBeMadeLeavesNoMacroNoBracketAndNoTemporaryDocument)
{
    auto wideFailure = [](const std::function<void()>& run) {
        try {
            run();
        } catch (const std::wstring& failure) {
            return failure;
        }
        return std::wstring(L"(none)");
    };
    struct Row {
        const char* what;
        std::function<void(NMVelmarFragment2D&)> arrange;
        std::function<void(NMVelmarFragment2D&)> fails;
    };
    const Row rows[] = {
        {"no fragment name", [](auto& part) { part.pData->ObjData.erase(L"LFR_FRAG_NAME"); },
         [&](auto& part) { EXPECT_EQ(wideFailure([&] { part.CreateNewMacroInGroup(); }), L"No variable with name \"LFR_FRAG_NAME\""); }},
        {"a value that is no number", [](auto& part) { part.pData->Params[L"d"] = L"M10"; },
         [](auto& part) { EXPECT_THROW(part.CreateNewMacroInGroup(), DataConvertError); }},
        // An empty macro is no part: it is not left in the drawing.
        {"Velmar does not take the drawing into the macro", [this](auto&) { Drawing().RefuseMacroFill(1); },
         [&](auto& part) { EXPECT_EQ(wideFailure([&] { part.CreateNewMacro(); }), L"Can't create macro object"); }},
        {"a fragment the library does not have", [](auto& part) { part.NM_Body = L"Bolts.lfr"; },
         [](auto& part) { EXPECT_EQ(sim::CaughtHostError([&] { part.CreateNewMacro(); }).Error(), E_INVALIDARG); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto part = MakePart<NMVelmarFragment2D>();
        row.arrange(*part);
        row.fails(*part);
        EXPECT_EQ(part->macro, 0);
        EXPECT_EQ(Drawing().Objects(), std::vector<long>{});
        EXPECT_EQ(velmar().OpenBrackets(), Lines{});
        EXPECT_FALSE(velmar().Drawings().TemporaryOpen());
    }
}
