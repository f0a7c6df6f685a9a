#include "library/library_call.h"

namespace {

// Every call arrives on Velmar's user-interface thread: no lock.
unsigned g_running = 0;

} // namespace

LibraryCallScope::LibraryCallScope() noexcept
{
    ++g_running;
}

LibraryCallScope::~LibraryCallScope()
{
    --g_running;
}

bool LibraryCallRunning() noexcept
{
    return g_running != 0;
}
