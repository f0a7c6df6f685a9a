#pragma once
// The library's command functions by command number: 1 to 6 from the menu and toolbar, 67 and 68 the
// hidden numbers Velmar can pass. LIBRARYENTRY runs what it finds here; a number without a function does
// nothing.
#include <functional>

using LibCommandFunction = std::function<void()>;

// The function of a command; empty when the number has none.
LibCommandFunction FindLibCommand(unsigned command);

namespace testhooks {
// Gives a command number a function for the lifetime of the object, then restores what it had.
class ScopedLibCommand {
public:
    ScopedLibCommand(unsigned command, LibCommandFunction function);
    ~ScopedLibCommand();
    ScopedLibCommand(const ScopedLibCommand&) = delete;
    ScopedLibCommand& operator=(const ScopedLibCommand&) = delete;

private:
    unsigned command_;
    LibCommandFunction previous_;
};
} // namespace testhooks
