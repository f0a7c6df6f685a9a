#pragma once
// The script of the scripted user for one panel run (kind "panel"): steps separated by ";" or line
// ends, blank steps and lines starting with "#" skipped.
//
//   pick NAME          Velmar offers the object to the library's filter, then picks it when accepted
//   offer NAME         the filter only
//   clear              the user clears the selection (the pick callback without an object)
//   button ID          a button of a collection, or a toggle, is pressed (ControlCommand)
//   check ID on|off    a check box is set, then ChangeControlValue
//   choose ID INDEX    a combo box item is chosen, then ChangeControlValue
//   value ID VALUE     a control's value is typed in (a number, else text), then ChangeControlValue
//   cursor X Y ANGLE   the cursor of a 2D placement moves there
//   help               the help button (ButtonClick 8)
//   show               the page's controls as they are now go to the log
//   ok                 ButtonUpdate 1, then ButtonClick 1; a disabled or refused OK keeps the run open
//   cancel             the user cancels
// A script that runs out cancels.
#include <stdexcept>
#include <string>
#include <vector>

namespace sim {

struct PanelStep {
    enum Kind { Pick, Offer, Clear, Button, Check, Choose, Value, Cursor, Help, Ok, Cancel, Show };
    Kind kind = Cancel;
    std::string text;                            // the step as written
    std::string name;                            // pick, offer
    long id = 0;                                 // button, check, choose, value
    bool on = false;                             // check
    long index = 0;                              // choose
    std::wstring value;                          // value
    double x = 0;                                // cursor
    double y = 0;
    double angle = 0;
};

// Throws std::invalid_argument with a one-line reason for a step it cannot read.
std::vector<PanelStep> ParsePanelScript(const std::wstring& script);

} // namespace sim
