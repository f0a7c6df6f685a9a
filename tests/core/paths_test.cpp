#include "core/paths.h"

#include <gtest/gtest.h>

TEST(Paths, FileNameAndFolderSplitAtTheLastBackslash)
{
    EXPECT_EQ(GetFileName(L"C:\\d\\part.vbs"), L"part.vbs");
    EXPECT_EQ(GetFilePath(L"C:\\d\\part.vbs"), L"C:\\d\\");
    EXPECT_EQ(GetFileName(L"part.vbs"), L"part.vbs");
    EXPECT_EQ(GetFilePath(L"part.vbs"), L"");
    EXPECT_EQ(GetFileName(L"C:\\d\\"), L"");
    EXPECT_EQ(GetFilePath(L"C:\\d\\"), L"C:\\d\\");
}

TEST(Paths, ParentOfAFolderPathIsOneFolderUpOtherwiseThePathItself)
{
    EXPECT_EQ(GetParentPath(L"C:\\Normset\\bin\\"), L"C:\\Normset\\");
    EXPECT_EQ(GetParentPath(L"C:\\"), L"C:\\");
    EXPECT_EQ(GetParentPath(L"C:\\Normset\\normset.dll"), L"C:\\Normset\\normset.dll");
    EXPECT_EQ(GetParentPath(L"\\"), L"\\");
    EXPECT_EQ(GetParentPath(L""), L"");
}

TEST(Paths, ExtensionIsTheLastDotOnwardsOrEmpty)
{
    EXPECT_EQ(GetFileExt(L"a.b.c"), L".c");
    EXPECT_EQ(GetFileExt(L"model.A3D"), L".A3D");
    EXPECT_EQ(GetFileExt(L"noext"), L"");
    EXPECT_EQ(GetFileExt(L"name."), L".");
}

TEST(Paths, ValidFileNameReplacesForbiddenCharactersOnlyInTheFileName)
{
    EXPECT_EQ(MakeValidFileName(L"C:\\d\\a:b?.txt"), L"C:\\d\\a_b_.txt");
    EXPECT_EQ(MakeValidFileName(L"Болт М8/20 *\"<>|.a3d"), L"Болт М8_20 _____.a3d");
    EXPECT_EQ(MakeValidFileName(L"plain name.a3d"), L"plain name.a3d");
    // A name alone has no folder part: its backslash is replaced too.
    EXPECT_EQ(ValidFileNameText(L"Болт М10\\50:a"), L"Болт М10_50_a");
}
