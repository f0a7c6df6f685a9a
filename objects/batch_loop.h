#pragma once
// The one loop of the library's bulk passes over a document: spc objects refreshed from the
// reference book, spc objects made for placed parts, relinked models, replaced parts. Work
// comes in groups of items; each group runs under a nested trace log and a scope of the caller's name,
// and the progress window lets the user stop the pass between items.
//
// The nested text reaches the command's log exactly once: after a failure the pass caught, on cancel,
// after the last group, or when an exception leaves the pass. A group that went well and is not the last
// leaves no text. Guards (undo, phantom, ...) stay with the callers.
#include "core/com.h"
#include "core/trace_log.h"
#include "hostapi/velmar7.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct BatchPass {
    HWND owner = nullptr;        // of the progress window
    std::wstring groupName;      // the nested log and the scope of every group, written as given
    // Set: a BadResponse of an item writes "Bad Response!", this record with the value badResponseValue
    // gives, and "B.Msg"; the item does not count and the pass goes on. Empty: a BadResponse leaves.
    std::wstring badResponseRecord;
    std::function<std::wstring(size_t group, size_t item)> badResponseValue;
    // The automatic pass on Velmar's events: no window, no question, no message; everything traced.
    bool quiet = false;
};

enum class BatchItem {
    Done,      // counted
    Skipped,   // not counted; the position advances all the same
};

struct BatchCounts {
    uint64_t done = 0;
    uint64_t total = 0;
    bool cancelled = false;
};

// Runs work(group, item, scope) for every item of every group (groupSizes[g] items in group g). A _com_error
// writes "COM Error!" and leaves the pass; so does any other failure.
BatchCounts RunBatch(const BatchPass& pass, const std::vector<size_t>& groupSizes,
                     const std::function<BatchItem(size_t group, size_t item, TraceScope& scope)>& work);

// The closing message: format (untranslated, with two "%d") translated and given the done count and the
// total as unsigned 64-bit values, in Velmar's message box with the library's name (information). A
// quiet pass only traces it.
void ShowBatchSummary(IVel7Application* app7, const std::wstring& format, const BatchCounts& counts, bool quiet);

// The reference book is asked once per identifier, and again after a failed answer: the answer stays for
// the items of the same identifier that follow; another identifier asks again; and when asking or
// loading throws, the answer is forgotten, so that the next item asks again whatever its identifier (the
// failed load may have replaced the controller's current part). Forget() drops an answer the caller
// cannot use.
template <typename Answer>
class AnswerPerIdentifier {
public:
    // The kept answer for id, or load(id)'s.
    template <typename Load>
    const Answer& For(const std::wstring& id, Load&& load)
    {
        fresh_ = !answer_ || id != id_;
        if (fresh_) {
            answer_.reset();
            answer_.emplace(std::forward<Load>(load)(id));
            id_ = id;
        }
        return *answer_;
    }
    // Whether the latest For asked.
    bool Fresh() const noexcept { return fresh_; }
    void Forget() noexcept { answer_.reset(); }

private:
    std::wstring id_;
    std::optional<Answer> answer_;
    bool fresh_ = false;
};
