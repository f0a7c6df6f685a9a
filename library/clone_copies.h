#pragma once
// The model files a user part is made of: each source file of the standard part with the path of its
// copy, planned before anything is copied. A source met twice is copied once; a copy path that is one of
// the standard part's own files, or that two different sources would share, is refused before a byte is
// written. Until Keep, going out of scope puts back what the copy paths held before the copies and
// removes the copies that were new: a user part that could not be finished leaves nothing behind.
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CloneCopies {
public:
    CloneCopies() = default;
    // Rolls back unless kept; never throws (what cannot be put back is traced).
    ~CloneCopies();
    CloneCopies(const CloneCopies&) = delete;
    CloneCopies& operator=(const CloneCopies&) = delete;

    // False when the source is planned already. A copy path another source takes is refused (a warning
    // naming the file).
    bool Plan(const std::wstring& source, const std::wstring& copy);
    // Refuses a copy path that is a source's, then copies every source over its copy path; a copy that
    // fails fails the command naming the file.
    void CopyAll();
    void Keep() noexcept { kept_ = true; }

    struct Entry {
        std::wstring source;
        std::wstring copy;
        std::wstring backup;     // what the copy path held before, kept in a temporary file
        bool copied = false;
    };
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    void RollBack() noexcept;

    std::vector<Entry> entries_;
    std::unordered_set<std::wstring> sources_;           // full paths, upper case
    std::unordered_map<std::wstring, size_t> copies_;    // full path, upper case → entry
    bool kept_ = false;
};
