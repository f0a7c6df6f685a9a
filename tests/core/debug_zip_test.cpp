// The debug archive: built in memory, written through a wide path, read back with miniz's reader.
#include "core/debug_zip.h"

#include "core/files.h"
#include "scratch_folder.h"
#include "zip_reader.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

// A root log starts with U+FEFF, which gives the entry its byte-order mark.
const std::wstring LogText = L"\xFEFF" L"LIBRARYENTRY\r\n{Normset::Run\r\n\tОшибка: деталь не найдена\r\n}\r\n";

} // namespace

TEST(DebugZip, HoldsExactlyOneDeflatedEntryDebugTxtWithTheLogAsUtf16)
{
    ScratchFolder folder;
    const std::wstring path = folder.Path() + L"debug.zip";
    DWORD error = 12345;
    ASSERT_TRUE(WriteDebugZip(path, LogText, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS));

    const auto entries = ReadZip(FileBytes(path));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "debug.txt");
    EXPECT_EQ(entries[0].method, 8u);
    ASSERT_GE(entries[0].bytes.size(), 2u);
    EXPECT_EQ(entries[0].bytes.substr(0, 2), std::string("\xFF\xFE"));
    EXPECT_EQ(entries[0].bytes, Utf16Bytes(LogText));
}

TEST(DebugZip, IsWrittenToAPathWithCyrillicLettersAndReplacesAnOlderFile)
{
    ScratchFolder folder;
    const std::wstring cyrillicFolder = folder / L"Отладка\\";
    ASSERT_TRUE(CreateDirectoryW(cyrillicFolder.c_str(), nullptr));
    const std::wstring path = cyrillicFolder + L"отчёт об ошибке.zip";
    ASSERT_TRUE(WriteDebugZip(path, L"first"));
    ASSERT_TRUE(WriteDebugZip(path, LogText));
    const auto entries = ReadZip(FileBytes(path));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].bytes, Utf16Bytes(LogText));
}

TEST(DebugZip, AnEmptyLogGivesAnArchiveWithAnEmptyEntry)
{
    const auto bytes = BuildDebugZip(L"");
    const auto entries = ReadZip(std::string(bytes.begin(), bytes.end()));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "debug.txt");
    EXPECT_TRUE(entries[0].bytes.empty());
}

TEST(DebugZip, AFolderThatDoesNotExistIsReportedAndLeavesNothing)
{
    ScratchFolder folder;
    const std::wstring path = folder.Path() + L"нет такой папки\\debug.zip";
    DWORD error = ERROR_SUCCESS;
    EXPECT_FALSE(WriteDebugZip(path, LogText, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetFileLength(path), -1);
}

TEST(DebugZip, AFileHeldOpenByAnotherProgramIsReportedAndKeptAsItWas)
{
    ScratchFolder folder;
    const std::wstring path = folder.Path() + L"debug.zip";
    HANDLE held = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(held, "keep", 4, &written, nullptr);

    DWORD error = ERROR_SUCCESS;
    EXPECT_FALSE(WriteDebugZip(path, LogText, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(held);
    EXPECT_EQ(FileBytes(path), "keep");
}
