#include "library/command_table.h"

#include "library/command_functions.h"
#include "tools/settings_dlg.h"

#include <map>
#include <utility>

namespace {

// The command functions join this table as the library gains them.
std::map<unsigned, LibCommandFunction>& Table()
{
    static std::map<unsigned, LibCommandFunction> table = {
        {1, &LibCommandInsert},
        {2, &LibCommandFind},
        {3, &LibCommandRelink},
        {4, &LibCommandCreateSpcObjs},
        {5, &LibCommandClone},
        {6, &SettingsDlg::Show},
        {67, &LibCommandSelect},
        {68, &LibCommandRelinkSilent},
    };
    return table;
}

} // namespace

LibCommandFunction FindLibCommand(unsigned command)
{
    const auto found = Table().find(command);
    return found == Table().end() ? LibCommandFunction() : found->second;
}

namespace testhooks {

ScopedLibCommand::ScopedLibCommand(unsigned command, LibCommandFunction function)
    : command_(command), previous_(FindLibCommand(command))
{
    Table()[command_] = std::move(function);
}

ScopedLibCommand::~ScopedLibCommand()
{
    if (previous_)
        Table()[command_] = std::move(previous_);
    else
        Table().erase(command_);
}

} // namespace testhooks
