#include "sim/panel_controls.h"

#include "hostapi/velmar.h"
#include "sim/shown_text.h"
#include "sim/velmar.h"

namespace sim {

namespace {

std::wstring Text(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

bool IsTrue(VARIANT_BOOL value)
{
    return value != VARIANT_FALSE;
}

void GiveOut(Object& object, IDispatch** out)
{
    (*out = object.Primary())->AddRef();
}

// The members every control answers, on the face of its own kind and on IVel7Control alike.
template <class I>
void ServeCommon(FaceOf<I> face, PanelControl* c)
{
    face.template On<&IVel7Control::put_Visible>(11, [c](VARIANT_BOOL on) { c->visible = IsTrue(on); })
        .template On<&IVel7Control::put_Caption>(13, [c](BSTR text) { c->caption = Text(text); })
        .template On<&IVel7Control::put_Id>(16, [c](long id) { c->id = id; })
        .template On<&IVel7Control::get_Id>(17, [c](long* id) { *id = c->id; })
        .template On<&IVel7Control::put_Enabled>(18, [c](VARIANT_BOOL on) { c->enabled = IsTrue(on); })
        .template On<&IVel7Control::put_Value>(20, [c](VARIANT value) { c->value = value; })
        .template On<&IVel7Control::get_Value>(21, [c](VARIANT* value) {
            VariantInit(value);
            return VariantCopy(value, &c->value);
        })
        .template On<&IVel7Control::put_Hint>(24, [c](BSTR text) { c->hint = Text(text); })
        .template On<&IVel7Control::put_Name>(26, [c](BSTR text) { c->name = Text(text); })
        .template On<&IVel7Control::get_Name>(27, [c](BSTR* text) { *text = SysAllocString(c->name.c_str()); });
}

PanelButton& ButtonOf(PanelControl* c, long id)
{
    PanelButton* button = c->Button(id);
    if (!button)
        throw Fail{E_INVALIDARG, 0};
    return *button;
}

void ServeButtons(PanelControl* c)
{
    FaceOf<IVel7Buttons> face = c->object->Face<IVel7Buttons>();
    face.On<&IVel7Buttons::put_Style>(28, [c](long style) { c->style = style; })
        .On<&IVel7Buttons::SetChecked>(30, [c](long id, VARIANT_BOOL on) { ButtonOf(c, id).checked = IsTrue(on); })
        .On<&IVel7Buttons::IsChecked>(31, [c](long id, VARIANT_BOOL* on) {
            *on = ButtonOf(c, id).checked ? VARIANT_TRUE : VARIANT_FALSE;
        })
        .On<&IVel7Buttons::SetEnabled>(32, [c](long id, VARIANT_BOOL on) { ButtonOf(c, id).enabled = IsTrue(on); })
        .On<&IVel7Buttons::IsEnabled>(33, [c](long id, VARIANT_BOOL* on) {
            *on = ButtonOf(c, id).enabled ? VARIANT_TRUE : VARIANT_FALSE;
        })
        .On<&IVel7Buttons::SetState>(34, [c](long id, long state) { ButtonOf(c, id).state = state; })
        .On<&IVel7Buttons::AddButton>(35, [c](long id, long bitmap) -> HRESULT {
            if (c->Button(id))
                return E_INVALIDARG;
            PanelButton button;
            button.id = id;
            // GDI handles are 32-bit values, sign-extended on 64-bit Windows.
            HBITMAP handle = reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(bitmap));
            button.bitmapSum = BitmapChecksum(handle, &button.bitmapWidth, &button.bitmapHeight);
            c->buttons.push_back(button);
            return S_OK;
        })
        .On<&IVel7Buttons::SetButtonHint>(37, [c](long id, BSTR text) { ButtonOf(c, id).hint = Text(text); })
        .On<&IVel7Buttons::SetButtonCaption>(39, [c](long id, BSTR text) { ButtonOf(c, id).caption = Text(text); });
    ServeCommon(face, c);
}

void ServeComboBox(PanelControl* c)
{
    FaceOf<IVel7ComboBox> face = c->object->Face<IVel7ComboBox>();
    face.On<&IVel7ComboBox::put_Setting35>(35, [c](VARIANT_BOOL on) { c->settings[35] = _variant_t(on, VT_BOOL); })
        .On<&IVel7ComboBox::put_Setting37>(37, [c](long value) { c->settings[37] = _variant_t(value); })
        .On<&IVel7ComboBox::Clear>(38, [c] {
            c->items.clear();
            c->value = _variant_t();
        })
        .On<&IVel7ComboBox::AddItem>(40, [c](BSTR text) { c->items.push_back(Text(text)); })
        .On<&IVel7ComboBox::put_Setting41>(41, [c](long value) { c->settings[41] = _variant_t(value); })
        .On<&IVel7ComboBox::ItemIndex>(43, [c](BSTR text, long* index) {
            *index = -1;
            for (size_t i = 0; i < c->items.size() && *index < 0; ++i)
                if (c->items[i] == Text(text))
                    *index = static_cast<long>(i);
        })
        .On<&IVel7ComboBox::Select>(44, [c](long index, VARIANT) -> HRESULT {
            if (index < 0 || static_cast<size_t>(index) >= c->items.size())
                return E_INVALIDARG;
            c->value = _variant_t(c->items[static_cast<size_t>(index)].c_str());
            return S_OK;
        });
    ServeCommon(face, c);
}

void ServeSpinEdit(PanelControl* c)
{
    FaceOf<IVel7SpinEdit> face = c->object->Face<IVel7SpinEdit>();
    face.On<&IVel7SpinEdit::SetRange>(30, [c](double value, double low, double high) {
            c->value = _variant_t(value);
            c->low = low;
            c->high = high;
        })
        .On<&IVel7SpinEdit::put_Setting37>(37, [c](long value) { c->settings[37] = _variant_t(value); });
    ServeCommon(face, c);
}

// The hole list's rows are its items.
void ServeHoleList(PanelControl* c)
{
    FaceOf<IVel7HoleList> face = c->object->Face<IVel7HoleList>();
    face.On<&IVel7HoleList::Clear>(28, [c] { c->items.clear(); })
        .On<&IVel7HoleList::AddRow>(29, [c](BSTR text) { c->items.push_back(Text(text)); });
    ServeCommon(face, c);
}

void ServeGroupTitle(PanelControl* c)
{
    FaceOf<IVel7GroupTitle> face = c->object->Face<IVel7GroupTitle>();
    face.On<&IVel7GroupTitle::put_Setting28>(28, [c](VARIANT_BOOL on) { c->settings[28] = _variant_t(on, VT_BOOL); });
    ServeCommon(face, c);
}

void ServeSelectField(PanelControl* c)
{
    FaceOf<IVel7SelectField> face = c->object->Face<IVel7SelectField>();
    face.On<&IVel7SelectField::put_Setting35>(35, [c](VARIANT_BOOL on) { c->settings[35] = _variant_t(on, VT_BOOL); })
        .On<&IVel7SelectField::put_Setting37>(37, [c](long value) { c->settings[37] = _variant_t(value); });
    ServeCommon(face, c);
}

const char* KindName(long kind)
{
    switch (kind) {
    case VelControlGroupTitle: return "title";
    case VelControlSelectField: return "field";
    case VelControlComboBox: return "combo";
    case VelControlCheckBox: return "check";
    case VelControlButtons: return "buttons";
    case VelControlToggle: return "toggle";
    case VelControlSpinEdit: return "spin";
    case VelControlList: return "list";
    default: return nullptr;
    }
}

std::string Quoted(const std::wstring& text)
{
    return QuoteShown(text);
}

} // namespace

PanelButton* PanelControl::Button(long buttonId)
{
    for (PanelButton& button : buttons)
        if (button.id == buttonId)
            return &button;
    return nullptr;
}

std::string PanelControl::Describe() const
{
    std::string text = std::string(KindName(kind)) + (kind == VelControlGroupTitle ? "" : " " + std::to_string(id));
    if (!caption.empty())
        text += " caption " + Quoted(caption);
    if (!name.empty())
        text += " name " + Quoted(name);
    if (!hint.empty())
        text += " hint " + Quoted(hint);
    if (V_VT(&value) != VT_EMPTY)
        text += " value " + ShownValue(value);
    if (!items.empty()) {
        text += " items";
        for (const std::wstring& item : items)
            text += " " + Quoted(item);
    }
    for (const PanelButton& button : buttons)
        text += " [" + std::to_string(button.id) + (button.checked ? " checked" : "") + (button.enabled ? "" : " disabled") + "]";
    if (!enabled)
        text += " (disabled)";
    if (!visible)
        text += " (hidden)";
    return text;
}

PanelControl* PanelPage::Find(long id, long kind)
{
    for (PanelControl& control : controls)
        if (control.id == id && (kind == 0 || control.kind == kind))
            return &control;
    return nullptr;
}

PanelControl* PanelPage::OwnerOfButton(long buttonId)
{
    for (PanelControl& control : controls)
        if (control.kind == VelControlButtons && control.Button(buttonId))
            return &control;
    return nullptr;
}

PanelPage& AddPanelPage(Velmar& velmar, std::deque<PanelPage>& pages, const std::wstring& caption)
{
    PanelPage& page = pages.emplace_back();
    const std::string number = std::to_string(pages.size());
    page.caption = caption;
    page.object = velmar.NewObject("page" + number);
    page.controlsObject = velmar.NewObject("controls" + number);
    Object* controls = page.controlsObject.get();
    page.object->Face<IVel7Page>().On<&IVel7Page::get_Controls>(17, [controls](IDispatch** out) { GiveOut(*controls, out); });

    PanelPage* self = &page;
    Velmar* host = &velmar;
    page.controlsObject->Face<IVel7Controls>().On<&IVel7Controls::Add>(14, [self, host](long kind, IDispatch** out) -> HRESULT {
        const char* name = KindName(kind);
        if (!name)
            return E_INVALIDARG;
        size_t count = 1;
        for (const PanelControl& control : self->controls)
            count += control.kind == kind;
        PanelControl& c = self->controls.emplace_back();
        c.kind = kind;
        c.object = host->NewObject(name + std::to_string(count));
        switch (kind) {
        case VelControlButtons: ServeButtons(&c); break;
        case VelControlComboBox: ServeComboBox(&c); break;
        case VelControlSpinEdit: ServeSpinEdit(&c); break;
        case VelControlGroupTitle: ServeGroupTitle(&c); break;
        case VelControlSelectField: ServeSelectField(&c); break;
        case VelControlList: ServeHoleList(&c); break;
        default: break;
        }
        ServeCommon(c.object->Face<IVel7Control>(), &c);
        GiveOut(*c.object, out);
        return S_OK;
    });
    return page;
}

uint32_t BitmapChecksum(HBITMAP bitmap, long* width, long* height)
{
    *width = 0;
    *height = 0;
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof info, &info) != sizeof info)
        return 0;
    *width = info.bmWidth;
    *height = info.bmHeight;
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight)
        return 0;
    uint32_t sum = 2166136261u;
    for (uint32_t pixel : pixels) {
        sum = (sum ^ (pixel & 0xFFFFFFu)) * 16777619u;
    }
    return sum;
}

} // namespace sim
