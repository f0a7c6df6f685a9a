#pragma once
// Running one command under the library's catch-all: whatever the command throws becomes a trace line,
// a title and a message for the user.
#include "library/command_table.h"

#include <string>

// Runs the command. On a failure fills title and message (translated where the failure kind asks for
// it) and returns true when the error dialog must be shown; a warning is shown here at once.
bool ExecuteLibCommand(const LibCommandFunction& command, std::wstring& title, std::wstring& message);

// The error dialog of a failed command: title, message and the command's trace log, owned by Velmar's
// main window. Never throws.
void ShowCommandError(const std::wstring& title, const std::wstring& message, const std::wstring& log) noexcept;
