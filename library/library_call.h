#pragma once
// Whether a command or an export of the library runs. Velmar's events can arrive during the library's own
// calls; what they would do to the document is dropped, not put off, while a call runs: a part the call
// is making is finished by the call alone, its spc object included.

// Held for the length of a command or an export; calls nest.
class LibraryCallScope {
public:
    LibraryCallScope() noexcept;
    ~LibraryCallScope();
    LibraryCallScope(const LibraryCallScope&) = delete;
    LibraryCallScope& operator=(const LibraryCallScope&) = delete;
};

// True while at least one LibraryCallScope is held.
bool LibraryCallRunning() noexcept;
