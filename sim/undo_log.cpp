#include "sim/undo_log.h"

#include <utility>

namespace sim {

void UndoLog::Open()
{
    ++depth_;
}

void UndoLog::Close()
{
    if (depth_ == 0)
        return;
    if (--depth_ == 0)
        steps_.push_back(std::exchange(open_, {}));
}

void UndoLog::Record(std::function<void()> inverse)
{
    if (depth_ > 0 && !undoing_)
        open_.push_back(std::move(inverse));
}

bool UndoLog::UndoLast()
{
    if (steps_.empty())
        return false;
    std::vector<std::function<void()>> step = std::move(steps_.back());
    steps_.pop_back();
    undoing_ = true;
    for (auto inverse = step.rbegin(); inverse != step.rend(); ++inverse)
        (*inverse)();
    undoing_ = false;
    ++undone_;
    return true;
}

void UndoLog::Clear()
{
    depth_ = 0;
    open_.clear();
    steps_.clear();
}

} // namespace sim
