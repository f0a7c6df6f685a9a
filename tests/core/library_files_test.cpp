#include "core/library_files.h"

#include "core/files.h"
#include "core/paths.h"
#include "core/scratch_folder.h"

#include <gtest/gtest.h>

TEST(LibraryFiles, HelpFileOfALibraryInADriveRootStaysBesideIt)
{
    // A drive root has no folder above it; the candidate beside the library is kept.
    EXPECT_EQ(LibraryHelpFilePath(L"Q:\\"), L"Q:\\VAZEZadAzuduv.chm");
    EXPECT_EQ(LibraryHelpFilePath(L"Q:\\lib\\"), L"Q:\\VAZEZadAzuduv.chm");
}

TEST(LibraryFiles, HelpFileBesideTheLibraryWins)
{
    ScratchFolder scratch;
    ASSERT_TRUE(WriteUnicodeFile(L"help", scratch / L"VAZEZadAzuduv.chm"));
    EXPECT_EQ(LibraryHelpFilePath(scratch.Path()), scratch / L"VAZEZadAzuduv.chm");
    EXPECT_EQ(LibraryFolder(), GetFilePath(GetModulePath()));
}
