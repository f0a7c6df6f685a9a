#include "core/library_files.h"

#include "core/files.h"
#include "core/paths.h"

namespace {

const wchar_t HelpFileName[] = L"VAZEZadAzuduv.chm";

} // namespace

std::wstring LibraryFolder()
{
    return GetFilePath(GetModulePath());
}

std::wstring LibraryHelpFilePath(const std::wstring& libraryFolder)
{
    const std::wstring beside = libraryFolder + HelpFileName;
    if (GetFileLength(beside) != -1)
        return beside;
    return GetParentPath(libraryFolder) + HelpFileName;
}

std::wstring LibraryHelpFile()
{
    return LibraryHelpFilePath(LibraryFolder());
}
