// velmar-sim as a person or a script runs it: a separate program, its output and its exit code.
#include "core/com.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using testing::HasSubstr;

namespace {

struct RunnerRun {
    DWORD exitCode = 0;
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

// Runs velmar-sim with the arguments and collects what it wrote (the output is small enough for the
// pipes' buffers, so reading after the end is safe).
RunnerRun RunRunner(const std::wstring& arguments)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    CreatePipe(&outRead, &outWrite, &inherit, 1 << 20);
    CreatePipe(&errRead, &errWrite, &inherit, 1 << 16);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + RunnerPath() + L"\" " + arguments;
    RunnerRun run;
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (!started) {
        run.exitCode = 0xFFFFFFFF;
    } else {
        run.out = ReadAll(outRead);
        run.err = ReadAll(errRead);
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return run;
}

} // namespace

TEST(VelmarSim, RunsTheLibraryAndPrintsWhatVelmarReads)
{
    const RunnerRun run = RunRunner(L"--version 14.0.2 --command 0 --command 8");
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
                                   "command: 0\ncommand: 8\ndocument: none\n"));
    EXPECT_EQ(run.err, "");
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

TEST(VelmarSim, BadCommandLinesEndWithAReasonAndExitCode2)
{
    for (const wchar_t* arguments : {L"--frobnicate", L"--version 15", L"--version a.b.c", L"--doc-type 9",
                                     L"--answer maybe", L"--command", L"--response Z:\\no\\such\\file.xml",
                                     L"--panel-script Z:\\no\\such\\script.txt", L"--panel-script \"pick top; wave\""}) {
        const RunnerRun run = RunRunner(arguments);
        EXPECT_EQ(run.exitCode, 2u) << arguments;
        EXPECT_THAT(run.err, testing::StartsWith("velmar-sim: ")) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
    }
}

TEST(VelmarSim, MissingLibraryEndsWithExitCode3)
{
    const RunnerRun run = RunRunner(L"--dll Z:\\no\\such\\normset.dll --command 1");
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_THAT(run.err, HasSubstr("cannot load"));
    EXPECT_EQ(run.out, "");
}
