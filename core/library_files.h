#pragma once
// Where the library finds its own files.
#include <string>

// The folder of the library's module file, with its final "\\".
std::wstring LibraryFolder();

// The help file beside the library, else in the folder above it (taken without looking for it there).
// A library in a drive root has no folder above it: the candidate beside it stays.
std::wstring LibraryHelpFilePath(const std::wstring& libraryFolder);

// The help file of this library: LibraryHelpFilePath of LibraryFolder().
std::wstring LibraryHelpFile();
