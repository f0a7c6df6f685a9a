#pragma once
// What the stand-in objects of one test share: the journal of their calls, the faults to inject, the
// scripted user and Velmar's undo. Velmar and the reference book of a test may share one session, so
// that their calls land in one journal in the order they came.
#include "sim/faults.h"
#include "sim/journal.h"
#include "sim/scripted_user.h"
#include "sim/undo_log.h"

namespace sim {

struct Session {
    Journal journal;
    Faults faults;
    ScriptedUser user;
    UndoLog undo;
};

} // namespace sim
