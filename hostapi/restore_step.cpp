#include "hostapi/restore_step.h"

#include "core/trace_log.h"

void RestoreStep(const wchar_t* where, const std::function<void()>& call) noexcept
{
    try {
        call();
    } catch (...) {
        TraceCurrentException(where);
    }
}

PartialSwitches::~PartialSwitches()
{
    for (auto undo = undos_.rbegin(); undo != undos_.rend(); ++undo)
        RestoreStep(where_, *undo);
}
