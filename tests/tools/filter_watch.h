#pragma once
// A measure filter export as Velmar's pick process calls it, noting whether a host call failed while it
// ran: the export keeps such a failure from Velmar, so it never reaches the measure (header only, for
// the measure tests).
#include "sim/journal.h"

namespace measure_test {

inline sim::Journal* watchedJournal = nullptr;
inline bool failedInFilter = false;

// Watches a journal from now on, with no failure seen yet.
inline void WatchFilterCalls(sim::Journal& journal)
{
    watchedJournal = &journal;
    failedInFilter = false;
}

template <auto Export, class... Args>
int WINAPI Watched(Args... args)
{
    const size_t before = watchedJournal->Calls().size();
    const int answer = Export(args...);
    for (size_t i = before; i < watchedJournal->Calls().size(); ++i)
        failedInFilter = failedInFilter || watchedJournal->Calls()[i].result != S_OK;
    return answer;
}

} // namespace measure_test
