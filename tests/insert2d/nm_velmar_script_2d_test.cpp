// Script parts: the part script runs in the real VBScript engine with the drawing, the applications and
// RAZadi, inside the macro or group opened for it; what it wrote goes to the trace; a missing file or a
// failing script leaves neither a bracket open nor anything drawn.
#include "insert2d/nm_velmar_script_2d.h"

#include "core/vbscript_host.h"
#include "insert2d/drawing_stand_in.h"
#include "objects/bad_response.h"

namespace {

using namespace drawing_test;

class Script2D : public DrawingStandIn {};

} // namespace

TEST_F(Script2D, TheScriptDrawsIntoItsMacroWithTheMethodParametersAndWritesTheTrace)
{
    auto part = MakePart();
    part->CreateNewMacroInGroup();
    EXPECT_EQ(TypesIn(part->macro), (std::vector<long>{1, 3}));
    const sim::DrawnObject& segment = *Drawing().Find(Drawing().Contents(part->macro).at(0));
    EXPECT_EQ(static_cast<double>(segment.params.at(3)), 12.0);
    EXPECT_EQ(Drawing().Find(part->macro)->owner, part->group);
    // The group is not committed: the drawing shows nothing yet.
    EXPECT_EQ(Drawing().Objects(), std::vector<long>{});
    EXPECT_EQ(journal().LinesOf("drawing5").front(), "drawing5.24(1)");
    EXPECT_NE(log_.Text().find(L"nut 12\r\n\r\n"), std::wstring::npos);

    part->CreateNewGroup();
    EXPECT_EQ(TypesIn(part->group), (std::vector<long>{1, 3}));
}

TEST_F(Script2D, AMissingOrFailingScriptLeavesNothingDrawnAndNoBracketOpen)
{
    struct Row {
        const char* what;
        const char* script;   // null: no file
        const wchar_t* failure;
        const wchar_t* trace;
    };
    const Row rows[] = {
        {"no file", nullptr, L"File \"", nullptr},
        // The engine names the line of the call appended after the script (counted from 0).
        {"no Script_OnLoad", "Doc.Segment 0, 0, 1, 0, 1\r\n", L"At line 17,", nullptr},
        {"fails half way", "Sub Script_OnLoad()\r\n Doc.Segment 0, 0, 1, 0, 1\r\n RAZadi.Append \"half\"\r\n Err.Raise 5\r\nEnd Sub\r\n",
         L"line", L"half\r\n\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteFileW((folder_ / L"nut.vbs").c_str());
        if (row.script)
            WriteFileBytes(folder_ / L"nut.vbs", row.script);
        const size_t made = utilities_->RAZadiObjects().size();
        for (auto draw : {&NMVelObj2D::CreateNewMacroInGroup, &NMVelObj2D::CreateNewMacro, &NMVelObj2D::CreateNewGroup}) {
            auto part = MakePart();
            std::wstring failure;
            try {
                ((*part).*draw)();
            } catch (const BadResponse& error) {
                failure = error.Reason();
            } catch (const VBScriptError& error) {
                failure = error.Text();
            }
            EXPECT_NE(failure.find(row.failure), std::wstring::npos) << sim::Utf8(failure);
            EXPECT_EQ(velmar().OpenBrackets(), Lines{});
            EXPECT_EQ(Drawing().Objects(), std::vector<long>{});
        }
        if (!row.script) {
            EXPECT_EQ(utilities_->RAZadiObjects().size(), made) << "the engine and RAZadi were started";
        }
        if (row.trace) {
            EXPECT_NE(log_.Text().find(row.trace), std::wstring::npos);
        }
    }
}
