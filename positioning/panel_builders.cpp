// The control builders of VelBasePanel: one control of each kind Velmar's pages offer.
#include "core/modal_seam.h"
#include "core/trace_log.h"
#include "core/unique.h"
#include "hostapi/entity_access.h"
#include "hostapi/vtable_call.h"
#include "positioning/vel_base_panel.h"

#include <algorithm>

namespace {

// Button styles of a collection (Velmar's values).
constexpr long kBarStyle = 0;
constexpr long kSelectStyle = 1;
constexpr long kDirectionStyle = 2;
// A select button stays pressed until it is pressed again.
constexpr long kPressedState = 1;
// A button's id is its collection's control id less this, plus its index.
constexpr long kButtonIdOffset = 100;

// The library's bitmap of a button id, freed once Velmar has taken its copy.
class ButtonBitmap {
public:
    explicit ButtonBitmap(long id)
        : bitmap_(static_cast<HGDIOBJ>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)))
    {
        if (!bitmap_) {
            TraceScope scope(L"ButtonBitmap");
            scope.Value(L"missing", id);
        }
    }
    // GDI handles are 32-bit values on every Windows.
    long AsLong() const { return static_cast<long>(reinterpret_cast<LONG_PTR>(bitmap_.get())); }

private:
    UniqueGdiObject bitmap_;
};

void AddImageButton(IVel7Buttons* collection, long id)
{
    const ButtonBitmap bitmap(id);
    V7Call(collection, &IVel7Buttons::AddButton, id, bitmap.AsLong());
}

_bstr_t Bstr(const std::wstring& text)
{
    return _bstr_t(text.c_str());
}

long ButtonIdOf(IVel7Buttons* collection, long index)
{
    return V7Get(collection, &IVel7Control::get_Id) - kButtonIdOffset + index;
}

} // namespace

template <class I>
HostPtr<I> VelBasePanel::NewControl(long kind, long id)
{
    const IVel7ControlsPtr controls = RequireHost(QueryHost<IVel7Controls>(V7Get(iPage, &IVel7Page::get_Controls)));
    // A control that does not answer its own interface stays empty: the next call on it raises E_POINTER.
    HostPtr<I> control = QueryHostOrNull<I>(V7Get(controls, &IVel7Controls::Add, kind));
    if (kind != VelControlGroupTitle)
        V7Call(control, &IVel7Control::put_Id, id);
    V7Call(control, &IVel7Control::put_Enabled, VARIANT_TRUE);
    return control;
}

IVel7ControlPtr VelBasePanel::AddCheckBox(long id, const std::wstring& caption, bool checked)
{
    IVel7ControlPtr box = NewControl<IVel7Control>(VelControlCheckBox, id);
    V7Call(box, &IVel7Control::put_Caption, Bstr(caption));
    V7Call(box, &IVel7Control::put_Value, _variant_t(checked));
    return box;
}

IVel7ComboBoxPtr VelBasePanel::AddComboBox(long id, const std::vector<std::wstring>& items, long selected)
{
    IVel7ComboBoxPtr combo = NewControl<IVel7ComboBox>(VelControlComboBox, id);
    V7Call(combo, &IVel7ComboBox::put_Setting37, 20L);
    V7Call(combo, &IVel7ComboBox::put_Setting41, 0L);
    V7Call(combo, &IVel7ComboBox::put_Setting35, VARIANT_TRUE);
    for (const std::wstring& item : items)
        V7Call(combo, &IVel7ComboBox::AddItem, Bstr(item));
    // A stored index may no longer name an item (presets deleted since): the combo box then shows none.
    if (selected >= 0 && static_cast<size_t>(selected) < items.size())
        V7Call(combo, &IVel7ComboBox::Select, selected, _variant_t(true));
    return combo;
}

IVel7SpinEditPtr VelBasePanel::AddSpinEdit(long id, const std::wstring& caption, const std::wstring& name,
                                           const std::wstring& hint, double value, double low, double high)
{
    IVel7SpinEditPtr spin = NewControl<IVel7SpinEdit>(VelControlSpinEdit, id);
    V7Call(spin, &IVel7Control::put_Caption, Bstr(caption));
    V7Call(spin, &IVel7SpinEdit::put_Setting37, 10L);
    V7Call(spin, &IVel7Control::put_Name, Bstr(name));
    V7Call(spin, &IVel7Control::put_Hint, Bstr(hint));
    V7Call(spin, &IVel7SpinEdit::SetRange, value, low, high);
    return spin;
}

IVel7ButtonsPtr VelBasePanel::AddSelectButton(long id, const std::wstring& caption, const std::wstring& hint)
{
    IVel7ButtonsPtr buttons = NewControl<IVel7Buttons>(VelControlButtons, id);
    V7Call(buttons, &IVel7Buttons::put_Style, kSelectStyle);
    const long buttonId = id - kButtonIdOffset;
    AddImageButton(buttons, buttonId);
    V7Call(buttons, &IVel7Buttons::SetState, buttonId, kPressedState);
    V7Call(buttons, &IVel7Control::put_Name, Bstr(caption));
    V7Call(buttons, &IVel7Control::put_Visible, VARIANT_TRUE);
    V7Call(buttons, &IVel7Control::put_Hint, Bstr(hint));
    return buttons;
}

IVel7SelectFieldPtr VelBasePanel::AddSelectField(long id, const std::wstring& caption)
{
    IVel7SelectFieldPtr field = NewControl<IVel7SelectField>(VelControlSelectField, id);
    V7Call(field, &IVel7SelectField::put_Setting37, 15L);
    V7Call(field, &IVel7SelectField::put_Setting35, VARIANT_TRUE);
    V7Call(field, &IVel7Control::put_Name, Bstr(caption));
    return field;
}

IVel7HoleListPtr VelBasePanel::AddList(long id, const std::wstring& caption, const std::wstring& name)
{
    IVel7HoleListPtr list = NewControl<IVel7HoleList>(VelControlList, id);
    V7Call(list, &IVel7Control::put_Caption, Bstr(caption));
    V7Call(list, &IVel7Control::put_Name, Bstr(name));
    return list;
}

IVel7ControlPtr VelBasePanel::AddToggle(long id, const std::wstring& caption, const std::wstring& name,
                                        const std::wstring& hint)
{
    IVel7ControlPtr toggle = NewControl<IVel7Control>(VelControlToggle, id);
    V7Call(toggle, &IVel7Control::put_Caption, Bstr(caption));
    V7Call(toggle, &IVel7Control::put_Name, Bstr(name));
    V7Call(toggle, &IVel7Control::put_Hint, Bstr(hint));
    return toggle;
}

IVel7ButtonsPtr VelBasePanel::AddButtons(long id, long style, const std::vector<std::wstring>& hints,
                                         const std::vector<std::wstring>& captions)
{
    IVel7ButtonsPtr buttons = NewControl<IVel7Buttons>(VelControlButtons, id);
    V7Call(buttons, &IVel7Buttons::put_Style, style);
    const size_t count = std::max(hints.size(), captions.size());
    for (size_t i = 0; i < count; ++i) {
        const long buttonId = id - kButtonIdOffset + static_cast<long>(i);
        AddImageButton(buttons, buttonId);
        V7Call(buttons, &IVel7Buttons::SetButtonHint, buttonId, Bstr(i < hints.size() ? hints[i] : L""));
        V7Call(buttons, &IVel7Buttons::SetButtonCaption, buttonId, Bstr(i < captions.size() ? captions[i] : L""));
    }
    V7Call(buttons, &IVel7Control::put_Name, Bstr(L" "));
    return buttons;
}

IVel7ButtonsPtr VelBasePanel::AddButtonBar(long id, const std::vector<std::wstring>& hints,
                                           const std::vector<std::wstring>& captions)
{
    return AddButtons(id, kBarStyle, hints, captions);
}

IVel7ButtonsPtr VelBasePanel::AddDirectionButtons(long id, const std::vector<std::wstring>& hints,
                                                  const std::vector<std::wstring>& captions)
{
    return AddButtons(id, kDirectionStyle, hints, captions);
}

IVel7GroupTitlePtr VelBasePanel::AddGroupTitle(const std::wstring& caption, bool flag)
{
    IVel7GroupTitlePtr title = NewControl<IVel7GroupTitle>(VelControlGroupTitle, 0);
    V7Call(title, &IVel7Control::put_Caption, Bstr(caption));
    V7Call(title, &IVel7GroupTitle::put_Setting28, flag ? VARIANT_TRUE : VARIANT_FALSE);
    return title;
}

void VelBasePanel::CheckGroupButton(IVel7Buttons* collection, long index)
{
    const long id = ButtonIdOf(collection, index);
    if (V7Get(collection, &IVel7Buttons::IsChecked, id) == VARIANT_FALSE)
        V7Call(collection, &IVel7Buttons::SetChecked, id, VARIANT_TRUE);
}

void VelBasePanel::EnableGroupButton(IVel7Buttons* collection, bool enabled, long index)
{
    const long id = ButtonIdOf(collection, index);
    if ((V7Get(collection, &IVel7Buttons::IsEnabled, id) != VARIANT_FALSE) != enabled)
        V7Call(collection, &IVel7Buttons::SetEnabled, id, enabled ? VARIANT_TRUE : VARIANT_FALSE);
}
