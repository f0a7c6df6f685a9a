#pragma once
// How the guards put host state back. A restoring call never lets an exception out: a failure is written
// to the trace log ("<where>: <error>") and the remaining restores and releases still happen, because
// an exception leaving a destructor would end Velmar's process.
#include <functional>
#include <string>
#include <vector>

// Runs one restoring call; a failure is traced under `where` and swallowed.
void RestoreStep(const wchar_t* where, const std::function<void()>& call) noexcept;

// The switches a guard's constructor has made so far. Should the constructor fail half way, they are
// undone in reverse order before the exception leaves it; a constructor that gets through commits them.
class PartialSwitches {
public:
    explicit PartialSwitches(const wchar_t* where) : where_(where) {}
    ~PartialSwitches();
    PartialSwitches(const PartialSwitches&) = delete;
    PartialSwitches& operator=(const PartialSwitches&) = delete;

    void Add(std::function<void()> undo) { undos_.push_back(std::move(undo)); }
    void Commit() noexcept { undos_.clear(); }

private:
    const wchar_t* where_;
    std::vector<std::function<void()>> undos_;
};
