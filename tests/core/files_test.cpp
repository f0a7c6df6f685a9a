#include "core/files.h"

#include "core/module.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

TEST(Files, FileLengthIsMinusOneForFolderPathsEmptyPathsAndMissingFiles)
{
    ScratchFolder folder;
    EXPECT_EQ(GetFileLength(L"C:\\dir\\"), -1);
    EXPECT_EQ(GetFileLength(folder.Path()), -1);
    EXPECT_EQ(GetFileLength(L""), -1);
    EXPECT_EQ(GetFileLength(folder / L"missing.txt"), -1);
    ASSERT_TRUE(WriteFileBytes(folder / L"five.bin", "12345"));
    EXPECT_EQ(GetFileLength(folder / L"five.bin"), 5);
}

TEST(Files, EmptyFileHasLengthZeroAndReadsAsEmptyText)
{
    ScratchFolder folder;
    const std::wstring path = folder / L"empty.txt";
    ASSERT_TRUE(WriteFileBytes(path, ""));
    EXPECT_EQ(GetFileLength(path), 0);
    EXPECT_EQ(ReadUnicodeFile(path), L"");
    EXPECT_EQ(ReadFileToString(path), "");
}

TEST(Files, ReadersThrowFileNotFoundWithThePath)
{
    ScratchFolder folder;
    const std::wstring path = folder / L"absent.lng";
    try {
        ReadUnicodeFile(path);
        FAIL() << "no exception";
    } catch (const std::wstring& message) {
        EXPECT_EQ(message, L"File not found: " + path);
    }
    try {
        ReadFileToString(path);
        FAIL() << "no exception";
    } catch (const std::wstring& message) {
        EXPECT_EQ(message, L"File not found: " + path);
    }
}

TEST(Files, UnicodeFileRoundTripsCyrillicWithMarkAndNoTerminator)
{
    ScratchFolder folder;
    const std::wstring path = folder / L"Пресеты.ini";
    const std::wstring text = L"[Preset1]\r\nName=По умолчанию\r\n";
    ASSERT_TRUE(WriteUnicodeFile(text, path));
    const std::string bytes = FileBytes(path);
    ASSERT_EQ(bytes.size(), 2 + text.size() * 2);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFE[\0", 4));
    EXPECT_EQ(ReadUnicodeFile(path), text);
    ASSERT_TRUE(WriteUnicodeFile(L"short", path));
    EXPECT_EQ(ReadUnicodeFile(path), L"short");
}

TEST(Files, WriteUnicodeFileReportsAFileThatCannotBeCreated)
{
    ScratchFolder folder;
    EXPECT_FALSE(WriteUnicodeFile(L"text", folder / L"no such folder\\file.txt"));
    EXPECT_FALSE(WriteUnicodeFile(L"text", folder.Path()));
}

TEST(Files, ReadersStopAtTheFirstZeroAndTheUnicodeReaderDropsTheFirstTwoBytesWhateverTheyAre)
{
    ScratchFolder folder;
    const std::wstring path = folder / L"raw.txt";
    ASSERT_TRUE(WriteFileBytes(path, std::string("AB" "x\0y\0\0\0z\0", 10)));
    EXPECT_EQ(ReadUnicodeFile(path), L"xy");
    ASSERT_TRUE(WriteFileBytes(path, std::string("\xFF\xFE" "a\0b", 5)));  // an odd last byte is no character
    EXPECT_EQ(ReadUnicodeFile(path), L"a");
    ASSERT_TRUE(WriteFileBytes(path, std::string("\xFF", 1)));
    EXPECT_EQ(ReadUnicodeFile(path), L"");
    ASSERT_TRUE(WriteFileBytes(path, std::string("abc\0def", 7)));
    EXPECT_EQ(ReadFileToString(path), "abc");
}

TEST(Files, ReaderOfAFileHeldOpenExclusivelyThrowsInsteadOfReturningNothing)
{
    ScratchFolder folder;
    const std::wstring path = folder / L"locked.txt";
    ASSERT_TRUE(WriteUnicodeFile(L"text", path));
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_THROW(ReadUnicodeFile(path), std::wstring);
    CloseHandle(lock);
    EXPECT_EQ(ReadUnicodeFile(path), L"text");
}

TEST(Files, ModulePathIsTheFileOfTheModuleStoredAtLoad)
{
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    testhooks::SetModuleHandle(nullptr);
    EXPECT_EQ(GetModulePath(), program);

    HMODULE library = LoadLibraryW((ProgramFolder() + L"normset.dll").c_str());
    ASSERT_NE(library, nullptr);
    testhooks::SetModuleHandle(library);
    EXPECT_EQ(GetModulePath(), ProgramFolder() + L"normset.dll");
    testhooks::SetModuleHandle(nullptr);
    FreeLibrary(library);
}

TEST(Files, VersionStringComesFromTheVersionResource)
{
    EXPECT_EQ(GetFileVersionString(ProgramFolder() + L"normset.dll"), L"1.0.0.0");
    ScratchFolder folder;
    ASSERT_TRUE(WriteUnicodeFile(L"no resources here", folder / L"plain.txt"));
    EXPECT_EQ(GetFileVersionString(folder / L"plain.txt"), L"");
    EXPECT_EQ(GetFileVersionString(folder / L"missing.dll"), L"");
}
