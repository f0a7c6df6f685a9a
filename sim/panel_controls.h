#pragma once
// The pages of the stand-in's property manager and the controls on them, kept as an inspectable tree:
// a test reads back what the library built (kind, id, texts, value, items, enabled, visible, the buttons
// of a button collection with their bitmaps and states, the raw settings Velmar leaves undocumented).
// Control ids need not be unique on a page: a check box and a button collection may share one.
//
// A control object answers the common control interface (IVel7Control) and the interface of its kind
// (IVel7Buttons, IVel7ComboBox, IVel7SpinEdit, IVel7GroupTitle, IVel7SelectField, IVel7HoleList), both
// over the same entry. Journal names: "page1", "controls1", then the kind and its count on the page:
// "buttons3", "field1", "toggle2", "check1", "combo1", "title1", "spin1", "list1", "control1".
#include "sim/sim_object.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace sim {

class Velmar;

struct PanelButton {
    long id = 0;
    long state = 0;
    bool checked = false;
    bool enabled = true;
    std::wstring hint;
    std::wstring caption;
    // The image handed with the button, measured while the call ran (the caller may free it after).
    long bitmapWidth = 0;                        // 0: the handle was no bitmap
    long bitmapHeight = 0;
    uint32_t bitmapSum = 0;                      // a checksum of its pixels
};

struct PanelControl {
    long kind = 0;                               // the type code the controls collection was given
    long id = 0;
    bool enabled = false;
    bool visible = true;
    std::wstring caption;
    std::wstring name;
    std::wstring hint;
    _variant_t value;
    std::vector<std::wstring> items;             // combo box (38 empties it), the hole list's rows (28, 29)
    double low = 0;                              // spin edit: its range
    double high = 0;
    long style = -1;                             // button collection
    std::map<int, _variant_t> settings;          // raw values by position: 28, 35, 37, 41
    std::vector<PanelButton> buttons;
    ObjectRef object;

    PanelButton* Button(long buttonId);
    IDispatch* Dispatch() { return object->Primary(); }
    std::string Describe() const;                // one line, as velmar-sim prints it
};

struct PanelPage {
    std::wstring caption;
    std::deque<PanelControl> controls;
    ObjectRef object;
    ObjectRef controlsObject;

    // The first control with the id (and the kind, unless 0); null when there is none.
    PanelControl* Find(long id, long kind = 0);
    // The button collection that has a button of that id; null when there is none.
    PanelControl* OwnerOfButton(long buttonId);
};

// Makes a page with its controls collection.
PanelPage& AddPanelPage(Velmar& velmar, std::deque<PanelPage>& pages, const std::wstring& caption);

// The checksum PanelButton keeps of a bitmap's pixels; 0 for a handle that is no bitmap.
uint32_t BitmapChecksum(HBITMAP bitmap, long* width, long* height);

} // namespace sim
