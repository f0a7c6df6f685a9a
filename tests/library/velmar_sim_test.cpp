// velmar-sim as a person or a script runs it: a separate program, its output and its exit code.
#include "core/com.h"
#include "core/scratch_folder.h"
#include "core/unique.h"
#include "sim/journal.h"
#include "sim/sample_responses.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

using testing::HasSubstr;
using testing::Not;

namespace {

struct RunnerRun {
    DWORD processId = 0;
    DWORD exitCode = 0;            // 0xFFFFFFFF: it did not start, and the test has failed saying why
    std::string out;
    std::string err;
};

std::wstring RunnerPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"velmar-sim.exe";
}

std::string ReadAll(HANDLE pipe)
{
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

// One start of velmar-sim with the arguments, and what it wrote (the output is small enough for the pipes'
// buffers, so reading after the end is safe); nothing, with the error, when the process was not made.
std::optional<RunnerRun> StartRunner(const std::wstring& arguments, DWORD& error)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    UniqueHandle outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(outRead.put(), outWrite.put(), &inherit, 1 << 20) || !CreatePipe(errRead.put(), errWrite.put(), &inherit, 1 << 16)) {
        error = GetLastError();
        return std::nullopt;
    }
    SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite.get();
    startup.hStdError = errWrite.get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + RunnerPath() + L"\" " + arguments;
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    error = started ? ERROR_SUCCESS : GetLastError();
    outWrite.reset();
    errWrite.reset();
    if (!started)
        return std::nullopt;
    const UniqueHandle owned(process.hProcess);
    CloseHandle(process.hThread);
    RunnerRun run;
    run.processId = process.dwProcessId;
    run.out = ReadAll(outRead.get());
    run.err = ReadAll(errRead.get());
    // Unbounded: the pipes are at their end, so the process is ending (CTest and ./run whole bound the test).
    if (WaitForSingleObject(owned.get(), INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(owned.get(), &run.exitCode)) {
        ADD_FAILURE() << "velmar-sim's end could not be read (error " << GetLastError() << ")";
        run.exitCode = 0xFFFFFFFF;
    }
    return run;
}

// Runs velmar-sim with the arguments. Under heavy load Wine has been seen to lose a new process in its own
// start-up, before the program runs (its Unix side ends before the process is made, short of memory):
// CreateProcessW then answers ERROR_INTERNAL_ERROR. Such a start ran nothing of velmar-sim and is made
// again a second later, up to three starts; any other failure to start is the test's at once.
RunnerRun RunRunner(const std::wstring& arguments)
{
    DWORD error = ERROR_SUCCESS;
    for (int start = 1; start <= 3; ++start) {
        if (std::optional<RunnerRun> run = StartRunner(arguments, error))
            return *run;
        if (error != ERROR_INTERNAL_ERROR)
            break;
        std::printf("velmar-sim was lost in Wine's start-up of its process (error %lu), start %d of 3\n", error, start);
        if (start < 3)
            Sleep(1000);
    }
    ADD_FAILURE() << "velmar-sim did not start (error " << error << ")";
    RunnerRun none;
    none.exitCode = 0xFFFFFFFF;
    return none;
}

} // namespace

TEST(VelmarSim, RunsTheLibraryAndPrintsWhatVelmarReads)
{
    // Whatever a run before the run's own registry existed left in the prefix the tests share.
    const wchar_t settingsKey[] = L"Software\\Orbex\\Normset\\RNMClient\\VELMAR_SETTINGS";
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey);
    const RunnerRun run = RunRunner(L"--version 14.0.2 --command 0 --command 6 --command 7 --command 8");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_THAT(run.out, testing::StartsWith("velmar: 14.0.2, document none\n"
                                             "notify: 1\n"
                                             "library: \"Нормсет\"\n"
                                             "help: \""));
    // The menu and toolbar Velmar builds from the library's resources, then the commands.
    EXPECT_THAT(run.out, HasSubstr("VAZEZadAzuduv.chm\"\n"
                                   "menu: 1 \"Вставить элемент\"\n"
                                   "menu: 2 \"Найти и заменить\"\n"
                                   "menu: 3 \"Обновить ссылки на модели\"\n"
                                   "menu: 4 \"Создать объекты спецификации\"\n"
                                   "menu: 5 \"Создать деталь на базе стандартной\"\n"
                                   "menu: 6 \"Настройки\"\n"
                                   "menu: 7 \"Справка\"\n"
                                   "toolbar: 1 2 3 4 5 6 7\n"
                                   "command: 0\ncommand: 6\n"
                                   "dialog: caption=\"Настройки\" answer=ok (its default button)\n"
                                   "command: 7\nhelp file: \""));
    // The build has no help file to show.
    // The last line tells a run that ended as it meant to from one cut short.
    EXPECT_THAT(run.out, testing::EndsWith("VAZEZadAzuduv.chm\", not there\ncommand: 8\ndocument: none\nend: exit code 0\n"));
    EXPECT_EQ(run.err, "");
    // What OK in the settings saved lay in the run's own registry, which is gone with the run.
    HKEY key = nullptr;
    const std::wstring own = L"Software\\velmar-sim\\run-" + std::to_wstring(run.processId);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, own.c_str(), 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, settingsKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST(VelmarSim, ReportsAnswersNobodyAskedFor)
{
    const RunnerRun run =
        RunRunner(L"--doc-type 5 --response component_3d --no-response --answer yes --panel-script \"pick top; ok\"");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_THAT(run.out, HasSubstr("document: type 5\n"));
    EXPECT_THAT(run.out, HasSubstr("reference book: 2 queued answer(s) not asked for\n"));
    EXPECT_THAT(run.out, HasSubstr("user: 1 queued answer(s) not asked for\n"));
    EXPECT_THAT(run.out, HasSubstr("panel: 1 queued script(s) not run\n"));
}

// A bad command line, and its reason: none given, any reason of velmar-sim's before it printed anything.
struct BadCommandLine {
    const wchar_t* arguments;
    const char* reason = nullptr;
};

const BadCommandLine kBadCommandLines[] = {
    {L"--frobnicate"}, {L"--version 15"}, {L"--version a.b.c"}, {L"--doc-type 9"},
    {L"--answer maybe"}, {L"--command"}, {L"--response Z:\\no\\such\\file.xml"},
    {L"--panel-script Z:\\no\\such\\script.txt"}, {L"--panel-script \"pick top; wave\""},
    {L"--place 1,2"}, {L"--leader here"}, {L"--point 1,2,3"}, {L"--point \"1,2; end; 3,4\""}, {L"--fire wave"},
    {L"--call NMDelete"}, {L"--fire open-document:x"}, {L"--drag 2:8:commit"}, {L"--drag 2:8,0:keep"}, {L"--select-macro first"},
    // Numbers: plain decimal and finite, whichever option takes them.
    {L"--call NMInsert2D:script_2d@1e400,0,0"}, {L"--call NMReplace2D:script_2d@0x10,0,0"},
    {L"--place inf,0,0"}, {L"--panel-script \"cursor 0x10 0 0; ok\""}, {L"--spc-text 1:9=x"},
    // The column "ID Normset" is the bill of materials' only with --id-column.
    {L"--doc-type 3 --spc-text 1:id=x"},
    // Digits of another script than ASCII's.
    {L"--doc-type \uFF15"}, {L"--spc-text \uFF11:9.1=x"},
    // A component or an spc object no run made is a bad name, however far the run got and wherever it stands.
    {L"--doc-type 5 --select comp9 --command 1", "velmar-sim: no component comp9 to select\r\n"},
    {L"--doc-type 5 --command 0 --select comp9", "velmar-sim: no component comp9 to select\r\n"},
    {L"--doc-type 3 --call NMInsertSpc:object_data --spc-text 2:9.1=x", "velmar-sim: no spc object 2 to type into\r\n"},
    {L"--doc-type 1 --call NMInsert2D:script_2d@0,0,0 --attach-line x", "velmar-sim: nothing selected to attach a line to\r\n"},
    {L"--doc-type 5 --call NMInsert3D:component_3d --attach-line x", "velmar-sim: nothing selected to attach a line to\r\n"},
    // The component selected was replaced: the selection is gone with it.
    {L"--doc-type 5 --call NMInsert3D:component_3d --select comp1 --response component_3d_screw --command 1 --attach-line x",
     "velmar-sim: nothing selected to attach a line to\r\n"},
    // Every name of a callout is a component's, and each has a line of its own to hold the leader.
    {L"--doc-type 5 --call NMInsert3D:component_3d --callout comp1,comp9", "velmar-sim: no component comp9 to call out\r\n"},
    {L"--doc-type 5 --call GetITester --call FastInsertTest:component_3d --callout comp1",
     "velmar-sim: comp1 has no spc object to call out\r\n"},
    // A name that is none at all is shown as given.
    {L"--doc-type 5 --call NMInsert3D:component_3d --callout comp1,", "velmar-sim: no component \"\" to call out\r\n"},
};

// Each run of velmar-sim is a Wine process of its own: the table is shared out over four test cases, each
// taking every fourth row, so that no case nears its time limit on a busy machine.
constexpr size_t kBadCommandLineShares = 4;

class VelmarSimBadCommandLines : public testing::TestWithParam<size_t> {};

TEST_P(VelmarSimBadCommandLines, EndWithAReasonAndExitCode2)
{
    for (size_t row = GetParam(); row < std::size(kBadCommandLines); row += kBadCommandLineShares) {
        const BadCommandLine& bad = kBadCommandLines[row];
        const RunnerRun run = RunRunner(bad.arguments);
        EXPECT_EQ(run.exitCode, 2u) << bad.arguments;
        if (bad.reason) {
            EXPECT_EQ(run.err, bad.reason) << bad.arguments;
        } else {
            EXPECT_THAT(run.err, testing::StartsWith("velmar-sim: ")) << bad.arguments;
            EXPECT_EQ(run.out, "") << bad.arguments;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFourthRow, VelmarSimBadCommandLines, testing::Range<size_t>(0, kBadCommandLineShares));

TEST(VelmarSim, HelpPrintsTheUsageAndEndsWithExitCode0)
{
    for (const wchar_t* arguments : {L"--help", L"--doc-type 5 -h"}) {
        const RunnerRun help = RunRunner(arguments);
        EXPECT_EQ(help.exitCode, 0u) << arguments;
        EXPECT_THAT(help.out, testing::StartsWith("usage: velmar-sim ")) << arguments;
        EXPECT_THAT(help.out, testing::EndsWith("\nend: exit code 0\n")) << arguments;
    }
}

TEST(VelmarSim, AMeasureInAnAssemblyAndInADrawingGoesBackToTheReferenceBook)
{
    // The library's filter export is found from the module's integer and refuses what the tool does not take.
    const RunnerRun model = RunRunner(L"--doc-type 5 --select-answer 1 --panel-script \"offer plateBore1; pick plateTop\" "
                                      L"--panel-script \"pick plateBottom\" --no-response --command 1");
    ASSERT_EQ(model.exitCode, 0u) << model.err;
    EXPECT_THAT(model.out, HasSubstr("panel: step \"offer plateBore1\": filter 0\npanel: step \"pick plateTop\": filter 1\n"));
    EXPECT_THAT(model.out, HasSubstr("client.Select(command=1, params=\"<MEASURE>20</MEASURE>\""));
    const RunnerRun drawing = RunRunner(L"--doc-type 1 --select-answer 1 --point 0,0 --point 30,40 --no-response --command 1");
    ASSERT_EQ(drawing.exitCode, 0u) << drawing.err;
    EXPECT_THAT(drawing.out, HasSubstr("user: point \"Укажите первую точку для измерения расстояния\" -> 0,0\n"
                                       "user: point \"Укажите вторую точку для измерения расстояния\" -> 30,40\n"
                                       "reference book: client.Select(command=1, params=\"<MEASURE>50</MEASURE>\""));
}

TEST(VelmarSim, MissingLibraryEndsWithExitCode3)
{
    const RunnerRun run = RunRunner(L"--dll Z:\\no\\such\\normset.dll --command 1");
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_THAT(run.err, HasSubstr("cannot load"));
    EXPECT_EQ(run.out, "");
}

TEST(VelmarSim, InsertsTheSampleBoltAndAPartOfTheUsersOwnModelAndPrintsBoth)
{
    ScratchFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder / L"nut.model", "file Parts\\Nut.vlm\nvariable d 8\nplane Plane\nmass 1234567.5\n"));
    ASSERT_TRUE(WriteFileBytes(folder / L"nut.xml",
                               "<response><objectcollection>"
                               "<object><classid>MethodParameters</classid><attributecollection>"
                               "<attribute><name>d</name><value>10</value></attribute></attributecollection></object>"
                               "<object><classid>Method</classid><attributecollection>"
                               "<attribute><name>NM_IID</name><value>PART:NUT[M10]</value></attribute>"
                               "<attribute><name>MethodBody</name><value>Parts\\Nut.vlm</value></attribute>"
                               "<attribute><name>URL</name><value>%MODELS%\\</value></attribute>"
                               "<attribute><name>Designation</name><value>Nut M10</value></attribute>"
                               "</attributecollection></object></objectcollection></response>"));
    const RunnerRun run = RunRunner(L"--doc-type 5 --model \"" + (folder / L"nut.model") + L"\" --response component_3d --response \"" +
                                    (folder / L"nut.xml") + L"\" --panel-script \"pick top; pick bore; ok\" --panel-script cancel"
                                    L" --panel-script \"pick side; ok\" --panel-script cancel --command 1");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_THAT(run.out, Not(HasSubstr("error dialog")));
    // The prompt a pick makes the library show follows the pick.
    EXPECT_THAT(run.out, HasSubstr("panel: step \"pick top\": filter 1, callback 1\n"
                                   "panel: prompt \"Выберите цилиндрическую поверхность, ось, прямое ребро или точку привязки детали\"\n"));
    // The mates by the picked faces' and the component's names, as the listing gives them.
    EXPECT_THAT(run.out, HasSubstr("panel: mates: kind 0 direction 1 value 0 top-comp1, kind 4 direction 0 value 0 bore-comp1\n"));
    const size_t bolt = run.out.find("component: comp1 \"Болт М10-6gx50.58 ГОСТ 7798-70\", model \"");
    ASSERT_NE(bolt, std::string::npos) << run.out;
    EXPECT_THAT(run.out.substr(bolt), HasSubstr("\\\\Models\\\\Bolt_7798_M10x50.vlm\"\n"
                                                "  parameters: d=10, L=50, P=1.5\n"
                                                "  mass 41.2 g, material \"Сталь 35 ГОСТ 1050-2013\"\n"
                                                "  placement: as placed in panel run 1\n"
                                                "  mate: kind 0, direction 1, value 0: top and Plane\n"
                                                "  mate: kind 4, direction 0, value 0: bore and Axis\n"
                                                "  spc object: section 25, 5.1 \"Болт М10-6gx50.58 ГОСТ 7798-70\"\n"
                                                "component: comp3 \"Nut M10\", model \""));
    EXPECT_THAT(run.out, HasSubstr("\\\\Parts\\\\Nut.vlm\"\n"
                                   "  parameters: d=10\n"
                                   "  mass 1234567.5 g, material \"\"\n"
                                   "  placement: as placed in panel run 3\n"
                                   "  mate: kind 0, direction 1, value 0: side and Plane\n"));
    // The folder with the models' files is gone with the run (its path printed with each backslash escaped).
    const size_t start = run.out.find("model \"", bolt) + 7;
    std::string file = run.out.substr(start, run.out.find('"', start) - start);
    for (size_t at = file.find("\\\\"); at != std::string::npos; at = file.find("\\\\", at + 1))
        file.erase(at, 1);
    const std::wstring folderOfModels(file.begin(), file.begin() + static_cast<long>(file.find("\\Models\\")));
    ASSERT_NE(folderOfModels.find(L"velmar-sim-"), std::wstring::npos) << file;
    EXPECT_EQ(GetFileAttributesW(folderOfModels.c_str()), INVALID_FILE_ATTRIBUTES) << file;
}

TEST(VelmarSim, PlacesBothDrawingSamplesWithTheirLeadersAndPrintsEachPart)
{
    const RunnerRun run = RunRunner(L"--doc-type 1 --response script_2d --response fragment_2d"
                                    L" --panel-script \"cursor 100 50 0; ok\" --leader 130,80 --panel-script cancel"
                                    L" --panel-script \"cursor 200 50 90; ok\" --leader 230,80 --panel-script cancel --command 1");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_THAT(run.out, Not(HasSubstr("error dialog")));
    EXPECT_THAT(run.out, HasSubstr("document: type 1\n"
                                   "placed part: macro 102 at 100, 50, angle 0: \"PART:5915-70[d=12]\" \"Гайка М12-6Н.5 ГОСТ 5915-70\"\n"
                                   "  drawing: circle, segment x6\n"
                                   "  spc object: section 25, 5.1 \"Гайка М12-6Н.5 ГОСТ 5915-70\"\n"
                                   "  leader 110, shelf at 130, 80\n"
                                   "placed part: macro 130 at 200, 50, angle 90: \"PART:11371-78[d=8]\" \"Шайба 8.01.08кп ГОСТ 11371-78\"\n"
                                   "  drawing: circle x2\n"
                                   "  spc object: section 25, 5.1 \"Шайба 8.01.08кп ГОСТ 11371-78\"\n"
                                   "  leader 131, shelf at 230, 80\n"));
}

// The user selects the nut placed; another program inserts a fastener set beside it, the nut unchanged.
TEST(VelmarSim, AnotherProgramPlacesASetWhileTheUserHasAPartSelected)
{
    const RunnerRun run = RunRunner(L"--doc-type 1 --response script_2d --panel-script \"cursor 40 50 0; ok\" --leader none"
                                    L" --panel-script cancel --command 1 --select-macro last"
                                    L" --call NMInsert2D:fastener_set_2d@100,50,0");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_THAT(run.out, HasSubstr("user: selects macro 102\ncall: NMInsert2D -> macro 120\n"));
    EXPECT_THAT(run.out, HasSubstr("document: type 1\n"
                                   "placed part: macro 102 at 40, 50, angle 0: \"PART:5915-70[d=12]\" \"Гайка М12-6Н.5 ГОСТ 5915-70\"\n"
                                   "  drawing: circle, segment x6\n"
                                   "  spc object: section 25, 5.1 \"Гайка М12-6Н.5 ГОСТ 5915-70\"\n"
                                   "placed part: macro 120 at 100, 50, angle 0: \"TCS:7798-11371-5915[d=8;L=40]\""));
}

TEST(VelmarSim, ADamagedModelFileIsOneLineAndExitCode2)
{
    ScratchFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder / L"bad.model", "file a.vlm\nvariable d\n"));
    const RunnerRun run = RunRunner(L"--model \"" + (folder / L"bad.model") + L"\" --command 1");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_THAT(run.err, testing::StartsWith("velmar-sim: model file \""));
    EXPECT_THAT(run.err, testing::EndsWith("bad.model\", line 2: a variable needs a name and a number\r\n"));
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    EXPECT_EQ(run.out, "");
}

TEST(VelmarSim, FiresVelmarsEventsAndCallsTheExportsAsAnotherProgram)
{
    const RunnerRun run = RunRunner(L"--doc-type 5 --fire open-document:6 --call NMInsert3D:component_3d --call GetITester "
                                    L"--call InsertTest:component_3d --call FastInsertTest:component_3d --fire end-process:20181 "
                                    L"--fire document-gone --call CloseActiveDocument --fire begin-process:20183");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_THAT(run.out, HasSubstr("event: open-document 6 -> TRUE\ncall: NMInsert3D -> comp1\n"));
    EXPECT_THAT(run.out, HasSubstr("call: GetITester -> a test object\n"));
    EXPECT_THAT(run.out, HasSubstr("call: InsertTest -> 0x00000000, object comp2, code 0, text \"\"\n"));
    // Only the quick insertion lacks its spc object when Velmar ends its process.
    EXPECT_THAT(run.out, HasSubstr("event: end-process 20181 -> TRUE\n"
                                   "spc object made: section 25, 5.1 \"Болт М10-6gx50.58 ГОСТ 7798-70\", includes comp3\n"
                                   "reference book: client.PlacedResponse("));
    EXPECT_EQ(run.out.find("spc object made"), run.out.rfind("spc object made"));
    EXPECT_THAT(run.out, HasSubstr("event: document-gone -> TRUE\n"
                                   "call: CloseActiveDocument -> 0x00000000, text \"\"\n"
                                   "event: begin-process: the active document fires no events\ndocument: none\n"));
}

// Velmar selects the placed nut, shows its hot points and drags its size point to the next size; what
// follows the selection is the whole output, the points and the drawing printed again after the drag.
TEST(VelmarSim, DragsTheSizePointOfTheLastPlacedPartAndPrintsItsPointsAndTheDrawingAgain)
{
    const std::string before = "hot point: 0 \"0\" \"Гайка М12-6Н.5 ГОСТ 5915-70\" at 0, 0\n"
                               "hot point: 1 \"A\" \"A = 0.00°\" at 8.31384, 0, cursor 114\n"
                               "hot point: 2 \"Резьба d\" \"Диаметр резьбы\\nd = 12\" at 6, 0, cursor 111\n";
    const std::string step = "reference book: client.DragParameters(\"d=16\",\"ВЕЛМАР 2D\",\"PART:5915-70[d=12]\",&)\n"
                             "reference book: client.AttributeText(&)\n";
    const std::string released = "hot points: released, the object destroyed\nend: exit code 0\n";
    struct Case {
        std::string release;
        std::string after;              // the points and the drawing after the drag
    };
    const Case cases[] = {
        {"commit",
         "hot point: 0 \"0\" \"Гайка М16-6Н.5 ГОСТ 5915-70\" at 0, 0\n"
         "hot point: 1 \"A\" \"A = 0.00°\" at 11.08513, 0, cursor 114\n"
         "hot point: 2 \"Резьба d\" \"Диаметр резьбы\\nd = 16\" at 8, 0, cursor 111\n"
         "placed part: macro 102 at 100, 50, angle 0: \"PART:5915-70[d=16]\" \"Гайка М16-6Н.5 ГОСТ 5915-70\"\n"
         "  drawing: circle, segment x6\n"
         "  spc object: section 25, 5.1 \"Гайка М16-6Н.5 ГОСТ 5915-70\"\n"},
        {"cancel",
         before +
             "placed part: macro 102 at 100, 50, angle 0: \"PART:5915-70[d=12]\" \"Гайка М12-6Н.5 ГОСТ 5915-70\"\n"
             "  drawing: circle, segment x6\n"
             "  spc object: section 25, 5.1 \"Гайка М12-6Н.5 ГОСТ 5915-70\"\n"},
    };
    for (const Case& c : cases) {
        const RunnerRun run = RunRunner(L"--doc-type 1 --response script_2d --panel-script \"cursor 100 50 0; ok\" --leader none"
                                        L" --panel-script cancel --command 1 --hot-points script_2d"
                                        L" --drag-response script_2d_m16 --drag 2:8,0:" + std::wstring(c.release.begin(), c.release.end()));
        ASSERT_EQ(run.exitCode, 0u) << run.err;
        EXPECT_THAT(run.out, HasSubstr("hot points: macro 102 \"PART:5915-70[d=12]\" selected\n"));
        const size_t points = run.out.find("hot point: 0");
        ASSERT_NE(points, std::string::npos) << run.out;
        EXPECT_EQ(run.out.substr(points), before + "drag: point 2 to 8, 0, " + c.release + "\n" + step + c.after + released);
    }
    // A hot-point text that cannot be read ends the run before it starts, with one line.
    const RunnerRun unreadable = RunRunner(L"--doc-type 1 --hot-points Z:\\no\\such.hotpoints");
    EXPECT_EQ(unreadable.exitCode, 2u);
    EXPECT_EQ(unreadable.err, "velmar-sim: cannot read the hot points \"Z:\\\\no\\\\such.hotpoints\"\r\n");
    EXPECT_EQ(unreadable.out, "");
}

TEST(VelmarSim, WithoutADocumentTheInsertCommandOnlyWarns)
{
    const RunnerRun run = RunRunner(L"--command 1");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_THAT(run.out, HasSubstr("command: 1\nreference book: client.Connect(&,&)\n"
                                   "message box: caption=\"Нормсет\" text=\"Нет активного документа.\" answer=ok (its default button)\n"
                                   "document: none\n"));
}

TEST(VelmarSim, RelinksTheComponentsItStartsWithAndPrintsThemBeforeAndAfter)
{
    // The question is left to its default button, Yes.
    const RunnerRun run = RunRunner(L"--doc-type 5 --component component_3d --component component_3d --component pin_3d_moved"
                                    L" --command 3");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_THAT(run.out, HasSubstr("library component before: part1: NM_ID \"PART:7798-70[d=10;L=50]\", model "
                                   "\"C:\\\\Old library\\\\Models\\\\Bolt_7798_M10x50.vlm\"\n"));
    EXPECT_THAT(run.out, HasSubstr("Продолжить?\" answer=yes (its default button)\n"));
    EXPECT_THAT(run.out, HasSubstr("text=\"Просмотр документа завершен. Обновлено ссылок: 2 из 3.\""));
    const size_t after = run.out.find("library component after: part1");
    ASSERT_NE(after, std::string::npos) << run.out;
    EXPECT_THAT(run.out.substr(after), HasSubstr("\\\\Models\\\\Bolt_7798_M10x50.vlm\"\n"
                                                 "library component after: part2: NM_ID \"PART:7798-70[d=10;L=50]\", model \""));
    EXPECT_THAT(run.out.substr(after), Not(HasSubstr("Old library\\\\Models\\\\Bolt")));
    EXPECT_THAT(run.out.substr(after), HasSubstr("part3: NM_ID \"PART:9464-79[d=8;L=40]\", model \"C:\\\\Old library\\\\Models\\\\Pin_9464_8x40.vlm\""));
}

// A component starts with an spc object the user moved; the spc pass keeps it there and gives the other
// bolt of the identifier its part's own section.
TEST(VelmarSim, StartsAComponentWithAMovedSpcObjectAndPrintsTheSpcObjectsBeforeAndAfter)
{
    const RunnerRun run = RunRunner(L"--doc-type 5 --component component_3d@30 --component component_3d --answer yes --command 4");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    const std::string bolt = "5.1 \"Болт М10-6gx50.58 ГОСТ 7798-70\"";
    const size_t after = run.out.find("library component after: part1");
    ASSERT_NE(after, std::string::npos) << run.out;
    EXPECT_THAT(run.out.substr(0, after), HasSubstr("vlm\", spc object section 30, " + bolt + "\nlibrary component before: part2"));
    EXPECT_THAT(run.out, HasSubstr("text=\"Просмотр документа завершен. Создано объектов спецификации: 2 из 2.\""));
    EXPECT_THAT(run.out.substr(after), HasSubstr("vlm\", spc object section 30, " + bolt + "\n"));
    EXPECT_THAT(run.out.substr(after), HasSubstr("vlm\", spc object section 25, " + bolt + "\n"));
}

// The only run of the 3D replace-all through the find panel: each bolt gives way to a new component.
TEST(VelmarSim, ReplacesEveryComponentOfTheChosenNameFromTheFindPanel)
{
    const RunnerRun run = RunRunner(L"--doc-type 5 --component component_3d --component component_3d --component component_3d"
                                    L" --panel-script \"choose 9151 0; button 9055\" --response component_3d_screw"
                                    L" --panel-script \"button 9157\" --panel-script cancel --command 2");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_THAT(run.out, HasSubstr("text=\"Просмотр документа завершен. Выполнено замен: 3 из 3.\""));
    EXPECT_THAT(run.out, HasSubstr("panel: step \"button 9157\": pressed\n"));
    const size_t after = run.out.find("library component after: ");
    ASSERT_NE(after, std::string::npos) << run.out;
    std::string expected;
    for (const char* name : {"comp1", "comp2", "comp3"})
        expected += std::string("library component after: ") + name + ": NM_ID \"PART:17473-80[d=10;L=40]\", model \"";
    std::string shown;
    for (size_t at = after; at != std::string::npos; at = run.out.find("library component after: ", at + 1))
        shown += run.out.substr(at, run.out.find("model \"", at) + 7 - at);
    EXPECT_EQ(shown, expected) << "the bolts are gone, the screws in their place";
}

// Holes and fastener sets that command 1 built are found by command 2 and replaced each in its own bore:
// all holes at once, and the second set alone after the choice was made at the first; the relink finds
// each member of a set once.
TEST(VelmarSim, ReplacesHolesAndFastenerSetsFromTheFindPanelEachInItsOwnPlace)
{
    const std::wstring holes = L"--doc-type 5 --select-answer \"0x400:Отверстие [diameter]x[width]\""
                               L" --panel-script \"pick plateTop; pick plateBottom; pick plateBore1; pick plateBore2; ok\""
                               L" --response element_3d --panel-script cancel --no-response --command 1";
    const std::wstring sets = L"--doc-type 5 --select-answer \"0x400:TKR [diameter]x[width]\""
                              L" --panel-script \"pick plateTop; pick plateBottom; pick plateBore1; pick plateBore2; ok\""
                              L" --response fastener_set_3d --panel-script cancel --no-response --command 1";
    const char* const picked = "  position: type -1, X 0, Y 0, R 0, A 0\n  picked: start plateTop, end plateBottom, face ";
    struct Row {
        const char* what;
        std::wstring arguments;
        std::vector<std::string> shown;
        size_t macros;                           // set macros listed at the end
    };
    const Row rows[] = {
        {"every hole", holes + L" --panel-script \"button 9051; button 9055\" --response element_3d_11"
                               L" --panel-script \"button 9157\" --panel-script cancel --command 2",
         {"panel: prompt \"Конструктивные элементы: 2\"", "text=\"Просмотр документа завершен. Выполнено замен: 2 из 2.\"",
          std::string("element: Отверстие сквозное 10,5 (hole), deleted\n  parameters: D=10.5;H=20\n") + picked + "plateBore1\n",
          std::string("element: Отверстие сквозное 10,5 (1) (hole), deleted\n  parameters: D=10.5;H=20\n") + picked + "plateBore2\n",
          std::string("element: Отверстие сквозное 11 (hole)\n  parameters: D=11;H=20\n") + picked + "plateBore1\n",
          std::string("element: Отверстие сквозное 11 (1) (hole)\n  parameters: D=11;H=20\n") + picked + "plateBore2\n"},
         0},
        {"the second set", sets + L" --panel-script \"button 9052; button 9055\" --response fastener_set_3d_screw"
                                  L" --panel-script \"button 9054; button 9156\" --panel-script cancel --command 2",
         {"panel: prompt \"Нормсет: 0\"", "panel: prompt \"Крепежные соединения: 2\"",
          "macro: \"Комплект крепежа М10\", marked \"TKR3D\": \"Болт М10-6gx50.58 ГОСТ 7798-70\" \"Шайба 10.01 ГОСТ 11371-78\""
          " \"Гайка М10-6Н.5 ГОСТ 5915-70\" \"Отверстие сквозное 11\"\n",
          "macro: \"Комплект крепежа М10 с винтом\", marked \"TKR3D\": \"Винт А.М10-6gx40.58 ГОСТ 17473-80\""
          " \"Шайба 10.01 ГОСТ 11371-78\" \"Гайка М10-6Н.5 ГОСТ 5915-70\" \"Отверстие сквозное 11 (1)\"\n",
          std::string("element: Отверстие сквозное 11 (1) (hole)\n  parameters: D=11;H=20\n") + picked + "plateBore2\n"},
         2},
        // The members of a set are in its macro only: the relink visits each once, the reference book
        // answering each member by its own identifier.
        {"the relink over the sets", sets + L" --answer ok --answer yes --command 3", {"Обновлено ссылок: 6 из 6."}, 2},
    };
    for (const Row& row : rows) {
        const RunnerRun run = RunRunner(row.arguments);
        ASSERT_EQ(run.exitCode, 0u) << row.what << ": " << run.err;
        for (const std::string& shown : row.shown)
            EXPECT_THAT(run.out, HasSubstr(shown)) << row.what;
        size_t macros = 0;
        for (size_t at = run.out.find("\nmacro: "); at != std::string::npos; at = run.out.find("\nmacro: ", at + 1))
            ++macros;
        EXPECT_EQ(macros, row.macros) << row.what << ": the old set is gone";
    }
}

// What velmar-sim shows in each kind of document and road: the spc objects of a bill of materials, the one
// an export made, a selection before a call, Velmar's own placement in a drawing, the user's comments on
// spc objects wherever they are listed, what no component or placed part holds, and numbers as given.
// Each row is a run of velmar-sim, a Wine process of its own: the table is shared out over three test cases,
// each taking every third row, so that no case nears its time limit on a busy machine.
constexpr size_t kListingShares = 3;

class VelmarSimListings : public testing::TestWithParam<size_t> {};

TEST_P(VelmarSimListings, ShowWhatTheUserAnsweredAndWhatTheLibraryMadeInEveryDocument)
{
    // A response that lies in a folder whose name holds "@".
    ScratchFolder folder;
    ASSERT_TRUE(CreateDirectoryW((folder / L"at@home").c_str(), nullptr));
    const std::wstring atPath = folder / L"at@home\\nut.xml";
    ASSERT_TRUE(WriteFileBytes(atPath, sim::Utf8(sim::SampleResponse("script_2d"))));
    const std::string bolt = "section 25, 5.1 \"Болт М10-6gx50.58 ГОСТ 7798-70\"";
    struct Row {
        const char* what;
        std::wstring arguments;
        std::vector<std::string> shown;
    };
    const Row rows[] = {
        {"a bill of materials' spc objects", L"--doc-type 3 --response component_3d --command 1",
         {"document: type 3\nspc object: " + bolt + "\n"}},
        // A comment's control characters (C0 and C1), backslashes and double quotes are escaped wherever it is
        // printed, as in the user's line.
        {"the spc object of an export, commented", L"--doc-type 3 --call NMInsertSpc:object_data --spc-comment \"провер\tено\x1b\\\"\\\u0085\"",
         {"call: NMInsertSpc -> spc object " + bolt + "\n",
          "user: comments 1 spc object(s) \"провер\\tено\\x1b\\\"\\\\\\x85\"\ndocument: type 3\nspc object: " + bolt +
              ", comment \"провер\\tено\\x1b\\\"\\\\\\x85\"\n"}},
        {"a selection before a call", L"--doc-type 5 --component component_3d --select part1 --call NMInsert3D:component_3d"
                                      L" --spc-comment \"провер\nено\"",
         {"user: selects part1\ncall: NMInsert3D -> comp1\n", "  spc object: " + bolt + ", comment \"провер\\nено\"\n"}},
        {"an spc object no component holds", L"--doc-type 5 --call NMInsertSpc:object_data",
         {"document: type 5\nspc object holding no component: " + bolt + "\n"}},
        // A leader for a part the user wanted no spc object for.
        {"a leader no spc object holds", L"--doc-type 1 --response script_2d --panel-script \"check 9146 off; cursor 100 50 0; ok\""
                                         L" --leader 130,80 --panel-script cancel --command 1",
         {"  drawing: circle, segment x6\nleader held by no spc object: 110, shelf at 130, 80\n"}},
        {"coordinates too large to scale", L"--doc-type 1 --call NMInsert2D:script_2d@1e304,-2.5e305,0",
         {"placed part: macro 101 at 1e+304, -2.5e+305, angle 0: "}},
        {"coordinates a hair below zero", L"--doc-type 1 --call NMInsert2D:script_2d@-1e-9,-1e-9,-1e-9",
         {"placed part: macro 101 at 0, 0, angle 0: "}},
        {"coordinates of more than six digits", L"--doc-type 1 --call NMInsert2D:script_2d@1234567.5,-7.25,0",
         {"placed part: macro 101 at 1234567.5, -7.25, angle 0: "}},
        {"a command code in hexadecimal capitals", L"--doc-type 1 --select-answer 0xABC --command 1",
         {"-> command 2748, location \"\", no response\n"}},
        {"a response whose path holds @", L"--doc-type 1 --call \"NMInsert2D:" + atPath + L"@100,50,0\"",
         {"call: NMInsert2D -> macro 101\n", "placed part: macro 101 at 100, 50, angle 0: \"PART:5915-70[d=12]\""}},
        {"Velmar's own placement", L"--doc-type 1 --response script_2d_no_spc --place 100,50,0 --command 1",
         {"user: placement \"Выберите расположение и угол\" -> 100,50,0\n",
          "placed part: macro 102 at 100, 50, angle 0: \"PART:5915-70[d=12]\""}},
        {"a drawing's set commented", L"--doc-type 1 --call NMInsert2D:fastener_set_2d@100,50,0 --spc-comment проверено",
         {"  spc object: section 25, 5.1 \"Болт М8-6gx40.58 ГОСТ 7798-70\", comment \"проверено\"\n"}},
        // The third line the listing shows is the nut's; only it takes the text.
        {"a text typed into a set's line", L"--doc-type 1 --call NMInsert2D:fastener_set_2d@100,50,0 --spc-text 3:9.1=note",
         {"user: types \"note\" into 9.1 of spc object 3: section 25, 5.1 \"Гайка М8-6Н.5 ГОСТ 5915-70\"\n",
          "  spc object: section 25, 5.1 \"Болт М8-6gx40.58 ГОСТ 7798-70\"\n"
          "  spc object: section 25, 5.1 \"Шайба 8.01.08кп ГОСТ 11371-78\"\n"
          "  spc object: section 25, 5.1 \"Гайка М8-6Н.5 ГОСТ 5915-70\", 9.1 \"note\"\n"}},
        // A line the user attaches to the set is numbered after the set's own, and stays as the user made it
        // when command 4 makes the set's lines anew (with the set's leader).
        {"a line attached to a set and typed into", L"--doc-type 1 --call NMInsert2D:fastener_set_2d@100,50,0 --select-macro last"
                                                    L" --attach-line Прокладка --spc-text 4:9.1=note --command 4",
         {"user: selects macro 102\nuser: attaches spc object 4 to macro 102: section 25, 5.1 \"Прокладка\"\n"
          "user: types \"note\" into 9.1 of spc object 4: section 25, 5.1 \"Прокладка\"\n",
          "  spc object: section 25, 5.1 \"Прокладка\", 9.1 \"note\"\n"
          "  spc object: section 25, 5.1 \"Болт М8-6gx40.58 ГОСТ 7798-70\"\n  leader 132, shelf at 120, 70\n"
          "  spc object: section 25, 5.1 \"Шайба 8.01.08кп ГОСТ 11371-78\"\n  leader 132, shelf at 120, 70\n"
          "  spc object: section 25, 5.1 \"Гайка М8-6Н.5 ГОСТ 5915-70\"\n  leader 132, shelf at 120, 70\nend: exit code 0\n"}},
        // The column the user typed into is the bill of materials': the set's lines made anew have it, the
        // bolt's with its text.
        {"a typed text through command 4", L"--doc-type 1 --call NMInsert2D:fastener_set_2d@100,50,0 --spc-text 1:9.1=note"
                                           L" --answer yes --command 4",
         {"command: 4\n", "  spc object: section 25, 5.1 \"Болт М8-6gx40.58 ГОСТ 7798-70\", 9.1 \"note\"\n"}},
        // The positions the user gave the old lines come back on the new ones through Velmar's bill of materials.
        {"positions through command 4", L"--doc-type 1 --call NMInsert2D:fastener_set_2d@100,50,0 --spc-text 1:3.1=1"
                                        L" --spc-text 2:3.1=2 --answer yes --command 4",
         {"command: 4\n", "  spc object: section 25, 5.1 \"Болт М8-6gx40.58 ГОСТ 7798-70\", 3.1 \"1\"\n",
          "  spc object: section 25, 5.1 \"Шайба 8.01.08кп ГОСТ 11371-78\", 3.1 \"2\"\n"}},
        // One callout for two of three bolts: the leader stands on the first named and is in the line of each
        // named, listed after it; the third's line holds none.
        {"a callout for two components", L"--doc-type 5 --call NMInsert3D:component_3d --call NMInsert3D:component_3d"
                                         L" --call NMInsert3D:component_3d --callout comp2,comp1",
         {"user: calls out comp2,comp1 with leader1 on comp2, held by spc object(s) 2, 1\n",
          "  spc object: " + bolt + "\n    leaders: leader1\ncomponent: comp2 ",
          "  spc object: " + bolt + "\n    leaders: leader1\ncomponent: comp3 ",
          "  spc object: " + bolt + "\nleader: leader1, kind 89, on comp2, text \"1\"\nend"}},
        // A callout goes into a component's own line, the first holding it, not into a line the user attached.
        {"a callout in the component's own line", L"--doc-type 5 --call NMInsert3D:component_3d --select comp1"
                                                  L" --attach-line Прокладка --callout comp1",
         {"  spc object: " + bolt + "\n    leaders: leader1\n  spc object: section 25, 5.1 \"Прокладка\"\nleader: leader1, "}},
        // A part the run started with lists the leaders of its lines as a component does.
        {"a callout on a part the run started with", L"--doc-type 5 --component component_3d@30 --callout part1",
         {"library component after: part1: ", "vlm\", spc object section 30, 5.1 \"Болт М10-6gx50.58 ГОСТ 7798-70\"\n"
                                              "    leaders: leader1\nleader: leader1, kind 89, on part1, "}},
        // A member of a 3D fastener set is a component the user selects and attaches a line to.
        {"a line attached to a 3D set's member", L"--doc-type 5 --select-answer \"0x400:TKR [diameter]x[width]\""
                                                 L" --panel-script \"pick plateTop; pick plateBottom; pick plateBore1; ok\""
                                                 L" --response fastener_set_3d --panel-script cancel --no-response --command 1"
                                                 L" --select comp2 --attach-line Прокладка",
         {"user: attaches spc object 4 to comp2: section 25, 5.1 \"Прокладка\"\n",
          "  spc object: section 25, 5.1 \"Шайба 10.01 ГОСТ 11371-78\"\n  spc object: section 25, 5.1 \"Прокладка\"\n"
          "component: comp3 "}},
        // The column "ID Normset" takes what the user types into it, listed with the other columns.
        {"a text typed into the column \"ID Normset\"", L"--doc-type 3 --id-column --call NMInsertSpc:object_data --spc-text 1:id=Q-17",
         {"user: types \"Q-17\" into ID Normset of spc object 1: " + bolt + ", 20.1 \"1204:88312\"\n",
          "spc object: " + bolt + ", 20.1 \"Q-17\"\nend"}},
        // A replace of all whose spc lines stand elsewhere than the preset says asks over its progress window.
        {"the progress window under a question", L"--doc-type 5 --component component_3d@30 --component component_3d@30"
                                                 L" --panel-script \"choose 9151 0; button 9055\" --response component_3d_screw"
                                                 L" --panel-script \"button 9157\" --panel-script cancel --command 2",
         {"Переместить объект спецификации?\" answer=yes (its default button)\n"
          "progress window: caption=\"Нормсет\", left to its pass\n"}},
    };
    for (size_t index = GetParam(); index < std::size(rows); index += kListingShares) {
        const Row& row = rows[index];
        const RunnerRun run = RunRunner(row.arguments);
        EXPECT_EQ(run.exitCode, 0u) << row.what << ": " << run.err;
        for (const std::string& shown : row.shown)
            EXPECT_THAT(run.out, HasSubstr(shown)) << row.what;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryThirdRow, VelmarSimListings, testing::Range<size_t>(0, kListingShares));

// The column "ID Normset", which the library writes and reads: each run with the column and without it.
TEST(VelmarSim, ShowsTheColumnIdNormsetTheLibraryWritesAndReadsWithTheColumnAndNothingWithout)
{
    const std::string bolt = "section 25, 5.1 \"Болт М10-6gx50.58 ГОСТ 7798-70\"";
    const std::string nut = "section 25, 5.1 \"Гайка М12-6Н.5 ГОСТ 5915-70\"";
    const std::string hand = "  spc object: section 25, 5.1 \"Прокладка\"\n";
    const std::string setsLines = "  spc object: section 25, 5.1 \"Болт М8-6gx40.58 ГОСТ 7798-70\"\n"
                                  "  spc object: section 25, 5.1 \"Шайба 8.01.08кп ГОСТ 11371-78\"\n"
                                  "  spc object: section 25, 5.1 \"Гайка М8-6Н.5 ГОСТ 5915-70\", 9.1 \"note-nut\"\nend";
    struct Row {
        const char* what;
        std::wstring arguments;
        std::string withColumn;
        std::string without;
    };
    const Row rows[] = {
        {"the identity written", L"--doc-type 5 --call NMInsert3D:component_3d",
         "  spc object: " + bolt + ", 20.1 \"1204:88312\"\n", "  spc object: " + bolt + "\n"},
        // A line the library made before the run, which the user moved, carries the identity it was made with.
        {"a component's line the run starts with", L"--doc-type 5 --component component_3d@30",
         "vlm\", spc object section 30, 5.1 \"Болт М10-6gx50.58 ГОСТ 7798-70\", 20.1 \"1204:88312\"\n",
         "vlm\", spc object section 30, 5.1 \"Болт М10-6gx50.58 ГОСТ 7798-70\"\n"},
        // A designation the user typed over: only the identity tells the line is the bolt's, which the
        // reference book then describes again.
        {"the identity read", L"--doc-type 3 --call NMInsertSpc:object_data --spc-text 1:5.1=typed-over --answer yes --command 4",
         "spc object: " + bolt + ", 20.1 \"1204:88312\"\nend", "spc object: section 25, 5.1 \"typed-over\"\nend"},
        // A nut with a noted line and a line the user attached: made anew, it keeps one line of itself; replaced
        // by the set, its line goes to the set's nut; the attached line stays as the user made it.
        {"a part's line and one attached by hand, made anew",
         L"--doc-type 1 --call NMInsert2D:script_2d@60,50,0 --spc-text 1:9.1=note-nut --select-macro last --attach-line Прокладка"
         L" --answer yes --command 4",
         "  spc object: " + nut + ", 9.1 \"note-nut\", 20.1 \"1188:40127\"\n  leader 109, shelf at 80, 70\n" + hand + "end",
         "  spc object: " + nut + ", 9.1 \"note-nut\"\n  leader 109, shelf at 80, 70\n" + hand + "end"},
        {"a part's line and one attached by hand, replaced by a set",
         L"--doc-type 1 --call NMInsert2D:script_2d@60,50,0 --spc-text 1:9.1=note-nut --select-macro last --attach-line Прокладка"
         L" --select-macro last --call NMReplace2D:fastener_set_2d@0,0,0",
         hand + setsLines, hand + setsLines},
    };
    for (const Row& row : rows)
        for (const bool column : {true, false}) {
            const RunnerRun run = RunRunner(row.arguments + (column ? L" --id-column" : L""));
            ASSERT_EQ(run.exitCode, 0u) << row.what << ": " << run.err;
            EXPECT_THAT(run.out, HasSubstr(column ? row.withColumn : row.without)) << row.what << (column ? ", with the column" : "");
        }
}
