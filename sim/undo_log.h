#pragma once
// Velmar's undo in the stand-in. A step opens when a 3D document's undo-disabled mode is switched on
// (version-7 69, as UndoDisabledGuard does) and closes when it is switched off; every model change made
// meanwhile (stored values, objects made or deleted, store entries, attributes, mates, array sources)
// records how to take it back. The application's 109 with 57643 takes the last closed step back, last
// change first; a step without changes takes nothing back.
//
//   velmar.Undo().Record([entry] { entry->deleted = true; });   // in a model, when it made something
#include <cstddef>
#include <functional>
#include <vector>

namespace sim {

class UndoLog {
public:
    void Open();
    void Close();
    // Nothing is recorded outside a step, nor while a step is taken back.
    void Record(std::function<void()> inverse);
    // Takes back the last closed step; false when there is none.
    bool UndoLast();
    size_t ClosedSteps() const { return steps_.size(); }
    size_t Undone() const { return undone_; }
    void Clear();

private:
    int depth_ = 0;
    bool undoing_ = false;
    size_t undone_ = 0;
    std::vector<std::function<void()>> open_;
    std::vector<std::vector<std::function<void()>>> steps_;
};

} // namespace sim
