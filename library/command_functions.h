#pragma once
// The library's commands as the menu, the toolbar and Velmar's hidden numbers run them: each makes sure
// the reference book is there, gets the controller of the active document and runs its fixed sequence
// of controller operations. Every failure goes on to the command's catch-all; the controller (and the
// settings of command 1) go with the function, also on an exception.
#include "library/velmar_normset.h"

#include <cstdint>
#include <functional>
#include <memory>

void LibCommandInsert();          // 1
void LibCommandFind();            // 2
void LibCommandRelink();          // 3
void LibCommandCreateSpcObjs();   // 4
void LibCommandClone();           // 5
void LibCommandSelect();          // 67: the reference book's selection only
void LibCommandRelinkSilent();    // 68

namespace testhooks {
// The controller factory (and so every command, export and event) takes its controller from `factory`
// for the lifetime of the object.
class ScopedControllerFactory {
public:
    using Factory = std::function<std::unique_ptr<VelmarNormset>(uint32_t command)>;
    explicit ScopedControllerFactory(Factory factory);
    ~ScopedControllerFactory();
    ScopedControllerFactory(const ScopedControllerFactory&) = delete;
    ScopedControllerFactory& operator=(const ScopedControllerFactory&) = delete;

private:
    Factory previous_;
};
// The installed factory's controller for the command; null without one.
std::unique_ptr<VelmarNormset> ControllerOfScopedFactory(uint32_t command);
} // namespace testhooks
