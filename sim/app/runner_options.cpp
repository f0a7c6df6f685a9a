#include "sim/app/runner_options.h"

#include "core/com.h"
#include "sim/app/event_output.h"
#include "sim/drawing.h"
#include "sim/journal.h"

#include <sstream>

namespace velmar_sim {

const wchar_t IdColumnName[] = L"ID Normset";

const char Usage[] =
    "usage: velmar-sim [--help] [--dll PATH] [--version MAJOR.MINOR.RELEASE] [--doc-type N] [--id-column]\n"
    "                  [--response RESPONSE | --no-response | --select-answer COMMAND[:LOCATION]]...\n"
    "                  [--answer ok|yes|no|cancel]... [--command N]...\n"
    "                  [--panel-script FILE|STEPS]... [--model FILE]...\n"
    "                  [--place X,Y,ANGLE|cancel]... [--leader X,Y|none]... [--point X,Y|end|X,Y;X,Y...]...\n"
    "                  [--fire EVENT]... [--call EXPORT]...\n"
    "                  [--select COMPONENT | --arrange COMPONENT[,COMPONENT]... | --callout COMPONENT[,COMPONENT]...]...\n"
    "                  [--select-macro last|REFERENCE]...\n"
    "                  [--spc-comment TEXT]... [--spc-text OBJECT:COLUMN=TEXT]... [--attach-line TEXT]...\n"
    "                  [--component RESPONSE[@SECTION]]...\n"
    "                  [--hot-points FILE|SAMPLE] [--drag-response RESPONSE] [--drag INDEX:X,Y:commit|cancel]...\n"
    "  N          a document type: 1 drawing, 2 fragment, 3 bill of materials, 4 part, 5 assembly, 7 another 3D;\n"
    "             6 is one the library does not work in\n"
    "  --id-column  the document's bill of materials has the column \"ID Normset\" (20.1 of its second\n"
    "             collection), which the library writes and reads\n"
    "  RESPONSE   an XML file or a sample of sim/responses (component_3d, element_3d, script_2d, ...)\n"
    "  EVENT      open-document:TYPE | begin-process:CODE | end-process:CODE | document-gone\n"
    "  EXPORT     NMInsert3D:RESPONSE | NMInsert2D:RESPONSE[@X,Y,ANGLE] | NMReplace2D:RESPONSE[@DX,DY,DANGLE]\n"
    "             | NMInsertSpc:RESPONSE[@PRESET] | NMSelectEx[:LOCATION] | GetITester | InsertTest:RESPONSE\n"
    "             | FastInsertTest:RESPONSE | CreateNewDocument:TYPE | CloseActiveDocument;\n"
    "             NMInsert2D places the part at X, Y turned by ANGLE, NMReplace2D replaces the selected part\n"
    "             and moves it by DX, DY and turns it by DANGLE (Velmar's replace with the shift flag)\n"
    "  X, Y, ...  plain decimal numbers (12, -7.5, 1e3), no hexadecimal, infinity or NaN\n"
    "  COMPONENT  a name velmar-sim prints: comp1 for the first one inserted, part1 for the first --component;\n"
    "             --arrange puts the components into an array with a position leader on the first, --callout\n"
    "             draws one position leader on the first and puts it into each one's own spc object; --select,\n"
    "             --arrange and --callout need an assembly (the one every 3D document, types 4 to 7, has)\n"
    "  INDEX      --drag: the hot point dragged: 0 moves the part, 1 turns it, 2 and on change a size\n"
    "  TEXT       --spc-comment: a comment given to every spc object the document holds at that point;\n"
    "             --spc-text: what the user types into the column of the spc object, as in the bill of materials;\n"
    "             --attach-line: the 5.1 of a line the user adds to the part selected last (--select-macro,\n"
    "             --select), listed after the document's spc objects\n"
    "  OBJECT     an spc object of the document by its place in the listing: 1 for the first\n"
    "  COLUMN     a column TYPE.NUMBER (9.1), defined in the document's bill of materials where it has none;\n"
    "             id: the column \"ID Normset\" (with --id-column), listed as 20.1\n"
    "--fire, --call, --select, --arrange, --callout, --select-macro, --spc-comment, --spc-text and --attach-line run\n"
    "where they stand among the commands\n"
    "exit code 0: it ran, its last line \"end: exit code 0\"; 2: a bad option, file, component name or spc object,\n"
    "a callout on a component without an spc object, a line attached with nothing selected or a command line longer\n"
    "than Windows takes; 3: the library could not be loaded; 4: the run was cut short (it faulted, its Wine server\n"
    "ended under it, or Wine's desktop never came up), the last line saying which";

namespace {

std::string Narrow(const std::wstring& text)
{
    return sim::Utf8(text);
}

// The C library's classes take other scripts' digits (a fullwidth "５") that the number conversions then
// refuse with an exception of their own: only ASCII digits make a number here.
bool AsciiDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool AsciiHexDigit(wchar_t c)
{
    return AsciiDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

long Number(const std::wstring& option, const std::wstring& text, long low, long high)
{
    bool digits = !text.empty() && text.size() <= 10;
    for (wchar_t c : text)
        digits = digits && AsciiDigit(c);
    const long long value = digits ? std::stoll(text) : -1;
    if (!digits || value < low || value > high)
        throw UsageError(Narrow(option) + " takes a number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not " + Quote(text));
    return static_cast<long>(value);
}

void ParseVersion(const std::wstring& text, RunnerOptions& options)
{
    const size_t first = text.find(L'.');
    const size_t second = first == std::wstring::npos ? first : text.find(L'.', first + 1);
    if (second == std::wstring::npos)
        throw UsageError("--version takes MAJOR.MINOR.RELEASE, not " + Quote(text));
    options.major = Number(L"--version", text.substr(0, first), 0, 999);
    options.minor = Number(L"--version", text.substr(first + 1, second - first - 1), 0, 9);
    options.release = Number(L"--version", text.substr(second + 1), 0, 9);
}

long Answer(const std::wstring& text)
{
    if (text == L"ok")
        return IDOK;
    if (text == L"yes")
        return IDYES;
    if (text == L"no")
        return IDNO;
    if (text == L"cancel")
        return IDCANCEL;
    throw UsageError("--answer takes ok, yes, no or cancel, not " + Quote(text));
}

// An answer of the scripted user: the word that ends the request, or that many numbers.
std::wstring UserAnswer(const std::wstring& option, const std::wstring& text, const wchar_t* word, size_t numbers)
{
    if (text != word && !sim::ParseNumbers(text, numbers))
        throw UsageError(Narrow(option) + " takes " + (numbers == 3 ? "X,Y,ANGLE" : "X,Y") + " or " + Narrow(word) +
                         ", not " + Quote(text));
    return text;
}

// COMMAND[:LOCATION]: a command code (decimal, or hexadecimal after "0x") and the location after the
// first colon.
RunnerOptions::BookAnswer SelectAnswer(const std::wstring& option, const std::wstring& text)
{
    const size_t colon = text.find(L':');
    const std::wstring code = text.substr(0, colon);
    RunnerOptions::BookAnswer answer;
    if (code.size() > 2 && (code.compare(0, 2, L"0x") == 0 || code.compare(0, 2, L"0X") == 0)) {
        bool hex = code.size() <= 10;
        for (size_t i = 2; i < code.size(); ++i)
            hex = hex && AsciiHexDigit(code[i]);
        if (!hex)
            throw UsageError(Narrow(option) + " takes COMMAND[:LOCATION], not " + Quote(text));
        answer.command = static_cast<long>(std::stoul(code.substr(2), nullptr, 16));
    } else {
        answer.command = Number(option, code, 0, 0x7FFFFFFF);
    }
    if (colon != std::wstring::npos)
        answer.location = text.substr(colon + 1);
    return answer;
}

const wchar_t* const kEvents[] = {L"open-document", L"begin-process", L"end-process", L"document-gone"};
const wchar_t* const kCalls[] = {L"NMInsert3D", L"NMInsert2D", L"NMReplace2D", L"NMInsertSpc", L"NMSelectEx", L"GetITester",
                                 L"InsertTest", L"FastInsertTest", L"CreateNewDocument", L"CloseActiveDocument"};

template <size_t N>
RunnerAction Action(const std::wstring& option, const std::wstring& text, const wchar_t* const (&known)[N], size_t commands)
{
    RunnerAction action;
    action.afterCommands = commands;
    action.fire = option == L"--fire";
    const size_t colon = text.find(L':');
    action.name = text.substr(0, colon);
    action.argument = colon == std::wstring::npos ? std::wstring() : text.substr(colon + 1);
    for (const wchar_t* name : known) {
        if (action.name != name)
            continue;
        // An event's type or process code, and a document type, is a number; a 2D part's placement three.
        if ((action.fire && action.name != L"document-gone") || action.name == L"CreateNewDocument")
            Number(option + L" " + action.name, action.argument, 0, 0x7FFFFFFF);
        // The placement follows the last "@": a response's path may hold one.
        const size_t at = action.argument.rfind(L'@');
        if ((action.name == L"NMInsert2D" || action.name == L"NMReplace2D") && at != std::wstring::npos &&
            !sim::ParseNumbers(action.argument.substr(at + 1), 3))
            throw UsageError(Narrow(option) + " takes " + Narrow(action.name) +
                             (action.name == L"NMInsert2D" ? ":RESPONSE@X,Y,ANGLE" : ":RESPONSE@DX,DY,DANGLE") + ", not " +
                             Quote(text));
        return action;
    }
    throw UsageError(Narrow(option) + " does not know " + Quote(action.name));
}

// The user's selection in a drawing before what follows it: "last" (the last library macro placed) or a
// macro's reference.
RunnerAction MacroSelection(const std::wstring& text, size_t commands)
{
    RunnerAction action;
    action.afterCommands = commands;
    action.name = L"select-macro";
    action.argument = text;
    if (text != L"last")
        Number(L"--select-macro", text, 1, 0x7FFFFFFF);
    return action;
}

// "INDEX:X,Y:commit|cancel".
HotPointDrag Drag(const std::wstring& text)
{
    const size_t first = text.find(L':');
    const size_t second = first == std::wstring::npos ? first : text.find(L':', first + 1);
    const std::wstring end = second == std::wstring::npos ? L"" : text.substr(second + 1);
    const auto point = second == std::wstring::npos ? std::nullopt : sim::ParseNumbers(text.substr(first + 1, second - first - 1), 2);
    if (!point || (end != L"commit" && end != L"cancel"))
        throw UsageError("--drag takes INDEX:X,Y:commit|cancel, not " + Quote(text));
    return {Number(L"--drag", text.substr(0, first), 0, 0x7FFFFFFF), (*point)[0], (*point)[1], end == L"commit"};
}

// An option that may be given once.
void Once(const std::wstring& option, std::optional<std::wstring>& slot, const std::wstring& value)
{
    if (slot)
        throw UsageError(Narrow(option) + " is given twice");
    slot = value;
}

// A point, "end", or the cursor positions of a pick: "X,Y; X,Y ...", the last one clicked unless the list
// ends in "end".
std::wstring PointAnswer(const std::wstring& option, const std::wstring& text)
{
    std::wstringstream items(text);
    std::wstring item;
    size_t positions = 0;
    bool ended = false;
    while (std::getline(items, item, L';')) {
        item.erase(0, item.find_first_not_of(L' '));
        item.erase(item.find_last_not_of(L' ') + 1);
        const bool end = item == L"end";
        if (ended || (!end && !sim::ParseNumbers(item, 2)))
            throw UsageError(Narrow(option) + " takes X,Y, end or X,Y; X,Y ..., not " + Quote(text));
        ended = end;
        positions += !end;
    }
    if (!ended && positions == 0)
        throw UsageError(Narrow(option) + " takes X,Y, end or X,Y; X,Y ..., not " + Quote(text));
    return text;
}

} // namespace

SpcText ParseSpcText(const std::wstring& argument)
{
    const size_t colon = argument.find(L':');
    SpcText typed;
    if (colon != std::wstring::npos && argument.compare(colon + 1, 3, L"id=") == 0) {
        typed.object = static_cast<size_t>(Number(L"--spc-text OBJECT", argument.substr(0, colon), 1, 1000000));
        typed.idColumn = true;
        typed.text = argument.substr(colon + 4);
        return typed;
    }
    const size_t dot = colon == std::wstring::npos ? colon : argument.find(L'.', colon);
    const size_t equals = dot == std::wstring::npos ? dot : argument.find(L'=', dot);
    if (equals == std::wstring::npos)
        throw UsageError("--spc-text takes OBJECT:TYPE.NUMBER=TEXT or OBJECT:id=TEXT, not " + Quote(argument));
    typed.object = static_cast<size_t>(Number(L"--spc-text OBJECT", argument.substr(0, colon), 1, 1000000));
    typed.type = Number(L"--spc-text TYPE", argument.substr(colon + 1, dot - colon - 1), 1, 1000000);
    typed.number = Number(L"--spc-text NUMBER", argument.substr(dot + 1, equals - dot - 1), 1, 1000000);
    typed.text = argument.substr(equals + 1);
    return typed;
}

RunnerOptions ParseOptions(const std::vector<std::wstring>& arguments)
{
    RunnerOptions options;
    bool typesIntoIdColumn = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& option = arguments[i];
        if (option == L"--help" || option == L"-h") {
            options.help = true;
            return options;
        }
        const auto value = [&]() -> const std::wstring& {
            if (i + 1 >= arguments.size())
                throw UsageError(Narrow(option) + " needs a value");
            return arguments[++i];
        };
        if (option == L"--dll")
            options.library = value();
        else if (option == L"--version")
            ParseVersion(value(), options);
        else if (option == L"--doc-type")
            options.documentType = static_cast<int>(Number(option, value(), 1, 7));
        else if (option == L"--response")
            options.bookAnswers.push_back({value(), 0, L""});
        else if (option == L"--no-response")
            options.bookAnswers.push_back({});
        else if (option == L"--select-answer")
            options.bookAnswers.push_back(SelectAnswer(option, value()));
        else if (option == L"--answer")
            options.answers.push_back(Answer(value()));
        else if (option == L"--command")
            options.commands.push_back(static_cast<unsigned>(Number(option, value(), 0, 0x7FFFFFFF)));
        else if (option == L"--panel-script")
            options.panelScripts.push_back(value());
        else if (option == L"--model")
            options.models.push_back(value());
        else if (option == L"--place")
            options.placements.push_back(UserAnswer(option, value(), L"cancel", 3));
        else if (option == L"--leader")
            options.leaders.push_back(UserAnswer(option, value(), L"none", 2));
        else if (option == L"--point")
            options.points.push_back(PointAnswer(option, value()));
        else if (option == L"--fire")
            options.actions.push_back(Action(option, value(), kEvents, options.commands.size()));
        else if (option == L"--call")
            options.actions.push_back(Action(option, value(), kCalls, options.commands.size()));
        else if (option == L"--select-macro")
            options.actions.push_back(MacroSelection(value(), options.commands.size()));
        else if (option == L"--select" || option == L"--arrange" || option == L"--callout" || option == L"--spc-comment" ||
                 option == L"--attach-line")
            options.actions.push_back({options.commands.size(), false, option.substr(2), value()});
        else if (option == L"--spc-text") {
            options.actions.push_back({options.commands.size(), false, option.substr(2), value()});
            typesIntoIdColumn = ParseSpcText(options.actions.back().argument).idColumn || typesIntoIdColumn;
        }
        else if (option == L"--id-column")
            options.idColumn = true;
        else if (option == L"--hot-points")
            Once(option, options.hotPoints, value());
        else if (option == L"--drag-response")
            Once(option, options.dragResponse, value());
        else if (option == L"--drag")
            options.drags.push_back(Drag(value()));
        else if (option == L"--component") {
            options.components.push_back(value());
            const size_t at = options.components.back().rfind(L'@');
            if (at != std::wstring::npos)
                Number(option, options.components.back().substr(at + 1), 1, 1000000);
        }
        else
            throw UsageError("unknown option " + Quote(option));
    }
    // The column is the bill of materials' from the start or not at all, so that a run is with or without it.
    if (typesIntoIdColumn && !options.idColumn)
        throw UsageError("--spc-text OBJECT:id=TEXT types into the column \"ID Normset\", which only --id-column gives");
    return options;
}

} // namespace velmar_sim
