#pragma once
// One copy for every placement record of a positioning model: constructive elements and fastener sets
// place theirs the same way. A single record is placed at once; from two on a progress window counts
// them, the user may stop between copies, and a closing message says how many were made of how many.
// A failing copy ends the loop: its exception leaves, and so does the closing message.
#include "hostapi/velmar.h"

#include <cstddef>
#include <functional>

struct PlacementLoop {
    IVel5ApplicationPtr app5;       // Velmar's main window owns the progress window
    IVel7ApplicationPtr app7;       // its message box says the count
    const wchar_t* countMessage;    // untranslated, "%d" for the copies made and "%d" for the records
};

// select(i) makes record i the current one; place() makes the copy of the current record. With fewer
// than two records only place() runs. Answers the number of copies made.
size_t PlaceEveryRecord(const PlacementLoop& loop, size_t records, const std::function<void(size_t)>& select,
                        const std::function<void()>& place);
