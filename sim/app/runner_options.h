#pragma once
// The command line of velmar-sim.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmar_sim {

// A command line the runner cannot follow; its text is the one-line reason.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What Velmar or another program in its process does between the commands: an event Velmar fires
// ("open-document:TYPE", "begin-process:CODE", "end-process:CODE", "document-gone"), or an export or a
// test-object method another program calls ("NMInsert3D:RESPONSE", "NMInsert2D:RESPONSE[@X,Y,ANGLE]",
// "NMReplace2D:RESPONSE[@X,Y,ANGLE]", "NMInsertSpc:RESPONSE[@PRESET]", "NMSelectEx[:LOCATION]",
// "GetITester", "InsertTest:RESPONSE", "FastInsertTest:RESPONSE", "CreateNewDocument:TYPE",
// "CloseActiveDocument"), or what the user does: selects a macro in a drawing ("select-macro", its
// argument "last" or a reference), selects a component in the assembly for editing ("select", the
// component's name) or puts components into an array of their own with a position leader on the first
// ("arrange", a list "comp1,comp2" of the array's sources) or gives components one position leader on
// the first that each one's own spc line holds ("callout", a list "comp2,comp1"), gives every spc object of
// the document a comment ("spc-comment", its text), types a text into a column of one spc object
// ("spc-text", "OBJECT:TYPE.NUMBER=TEXT" or "OBJECT:id=TEXT") or adds a line of their own to the part
// selected last ("attach-line", its 5.1). They run in the order the command line gives them.
struct RunnerAction {
    size_t afterCommands = 0;   // runs after this many of the --command options
    bool fire = false;          // an event, else a call
    std::wstring name;
    std::wstring argument;      // after the ":"; empty without one
};

// A step Velmar makes on a hot point of the selected library macro: the drag from its start to the
// release, which commits or cancels.
struct HotPointDrag {
    long index = 0;
    double x = 0;
    double y = 0;
    bool commit = false;
};

struct RunnerOptions {
    bool help = false;                                 // --help or -h: the usage, and nothing run
    std::wstring library;                              // the DLL; empty: normset.dll beside the runner
    long major = 15;
    long minor = 0;
    long release = 1;
    int documentType = 0;                              // 0: no active document
    // The reference book's answers, in order: a response file; none for "closed without a choice"; or a
    // command with a location and no response (the reference book asks for a positioning or a measure).
    struct BookAnswer {
        std::optional<std::wstring> response;
        long command = 0;
        std::wstring location;
    };
    std::vector<BookAnswer> bookAnswers;
    std::vector<long> answers;                         // IDOK, IDYES, IDNO, IDCANCEL
    std::vector<unsigned> commands;
    // One per panel run, in order: a script file, or the steps themselves (sim/panel_script.h).
    std::vector<std::wstring> panelScripts;
    // Model descriptions (sim/model_catalogue.h) known beside the stand-in's own.
    std::vector<std::wstring> models;
    // The user's answers in a drawing, in order: Velmar's own placement ("X,Y,ANGLE" or "cancel"), the
    // leader drawn ("X,Y" of its shelf or "none"), a point asked for ("X,Y" or "end").
    std::vector<std::wstring> placements;
    std::vector<std::wstring> leaders;
    std::vector<std::wstring> points;
    std::vector<RunnerAction> actions;
    // The hot points of the last placed library macro, asked for after the commands when any of these is
    // given: the text 38 gives for its part (a file or a sample's name), the answer of 37 (a response file
    // or a sample's name), the drags in order.
    std::optional<std::wstring> hotPoints;
    std::optional<std::wstring> dragResponse;
    std::vector<HotPointDrag> drags;
    // Library components in the starting assembly, one per response (a file or a sample's name): the
    // response's identifier, designation and model file (below an old folder), and the reference book's
    // answer for a part already placed with that identifier. "FILE@SECTION": the component has an spc
    // object the user moved to that section.
    std::vector<std::wstring> components;
    // The document's bill of materials has the column "ID Normset", which the library writes and reads.
    bool idColumn = false;
};

// What --spc-text types: TEXT into column TYPE.NUMBER of the spc object the listing shows at that place
// (1 for the first), or into its "ID Normset" column.
struct SpcText {
    size_t object = 0;
    bool idColumn = false;      // the "ID Normset" column; type and number are 0
    long type = 0;
    long number = 0;
    std::wstring text;
};

// The "ID Normset" column as --id-column defines it, in the bill of materials' second collection (B),
// which the library finds by its name.
constexpr long IdColumnType = 20;
constexpr long IdColumnNumber = 1;
extern const wchar_t IdColumnName[];

// "OBJECT:TYPE.NUMBER=TEXT" or "OBJECT:id=TEXT"; a UsageError for anything else.
SpcText ParseSpcText(const std::wstring& argument);

RunnerOptions ParseOptions(const std::vector<std::wstring>& arguments);

extern const char Usage[];

} // namespace velmar_sim
