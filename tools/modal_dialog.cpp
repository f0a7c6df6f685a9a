#include "tools/modal_dialog.h"

#include "core/balloon_tip.h"
#include "core/format_string.h"
#include "core/html_help.h"
#include "core/modal_seam.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "core/window_utils.h"

#include <commctrl.h>

INT_PTR ModalDialog::Run(int dialogId, HWND owner)
{
    return RunModalDialog(dialogId, owner, Procedure, reinterpret_cast<LPARAM>(this));
}

bool ModalDialog::IsChecked(int id) const
{
    return IsDlgButtonChecked(window_, id) == BST_CHECKED;
}

void ModalDialog::Check(int id, bool checked)
{
    CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void ModalDialog::Enable(int id, bool enabled)
{
    EnableWindow(Item(id), enabled);
}

std::wstring ModalDialog::ItemText(int id) const
{
    return GetWindowTextStr(Item(id));
}

void ModalDialog::SetItemText(int id, const std::wstring& text)
{
    SetDlgItemTextW(window_, id, text.c_str());
}

void ModalDialog::SetTexts(const std::wstring& title, const std::vector<std::pair<int, const wchar_t*>>& texts)
{
    SetWindowTextW(window_, Translate(title).c_str());
    for (const auto& [id, text] : texts)
        SetItemText(id, Translate(text));
}

void ModalDialog::LineUpButtons()
{
    PlaceWindow(Item(IDHELP), Item(IDCANCEL));
    PlaceWindow(Item(IDCANCEL), Item(IDOK));
}

void ModalDialog::ShowHelp() const
{
    ShowLibraryHelp(window_, helpContext_);
}

int ModalDialog::ComboSelection(int id) const
{
    return static_cast<int>(SendDlgItemMessageW(window_, id, CB_GETCURSEL, 0, 0));
}

void ModalDialog::SelectCombo(int id, int index)
{
    SendDlgItemMessageW(window_, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ModalDialog::FillCombo(int id, const std::vector<std::wstring>& items)
{
    SendDlgItemMessageW(window_, id, CB_RESETCONTENT, 0, 0);
    for (const auto& item : items)
        SendDlgItemMessageW(window_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void ModalDialog::ShowBalloon(int id, const std::wstring& title, const std::wstring& text)
{
    // A tool tip shows one balloon: the previous one goes with its window.
    HideBalloon();
    toolTip_ = CreateBalloonToolTip(window_);
    if (toolTip_)
        ShowBalloonTip(toolTip_, Item(id), title, text);
    SetFocus(Item(id));
}

void ModalDialog::HideBalloon() noexcept
{
    if (!toolTip_)
        return;
    KillTimer(window_, BalloonTimerId);
    HideBalloonTip(std::exchange(toolTip_, nullptr));
}

void ModalDialog::FilterTyping(int id, CharacterRule refuse, const wchar_t* title, const wchar_t* text)
{
    filters_.push_back(std::make_unique<Filter>(Filter{this, id, std::move(refuse), title, text}));
    SetWindowSubclass(Item(id), FilterProcedure, static_cast<UINT_PTR>(id),
                      reinterpret_cast<DWORD_PTR>(filters_.back().get()));
}

void ModalDialog::MakeNumberField(int id)
{
    SendDlgItemMessageW(window_, id, EM_LIMITTEXT, 5, 0);
    FilterTyping(
        id, [](wchar_t typed) { return typed >= 32 && (typed < L'0' || typed > L'9'); }, L"Недопустимый символ",
        L"Здесь можно ввести только цифру");
}

std::optional<int32_t> ModalDialog::CheckNumber(int id, NumberRange range)
{
    const auto number = NumberInRange(ItemText(id), range);
    if (!number)
        ShowBalloon(id, Translate(L"Переполнение"),
                    FormatString(Translate(L"Значение выходит за границы диапазона %d .. %d"),
                                 _variant_t(static_cast<long>(range.Min)), _variant_t(static_cast<long>(range.Max))));
    return number;
}

LRESULT CALLBACK ModalDialog::FilterProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                              DWORD_PTR data)
{
    try {
        const auto* filter = reinterpret_cast<const Filter*>(data);
        if (message == WM_CHAR && filter->refuse(static_cast<wchar_t>(wParam))) {
            filter->dialog->ShowBalloon(filter->id, Translate(filter->title), Translate(filter->text));
            return 0;
        }
        if (message == WM_NCDESTROY)
            RemoveWindowSubclass(field, FilterProcedure, id);
    } catch (...) {
        TraceCurrentException(L"ModalDialog::FilterProcedure");
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

void ModalDialog::Destroy() noexcept
{
    HideBalloon();
    for (const auto& filter : filters_)
        RemoveWindowSubclass(Item(filter->id), FilterProcedure, static_cast<UINT_PTR>(filter->id));
    filters_.clear();
    OnDestroy();
    window_ = nullptr;
}

INT_PTR ModalDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (OnCommand(id, HIWORD(wParam)))
            return TRUE;
        if (id == IDCANCEL) { // the button, Escape and the close box
            HideBalloon();
            EndDialog(window_, IDCANCEL);
            return TRUE;
        }
        if (id == IDHELP) {
            ShowHelp();
            return TRUE;
        }
        return FALSE;
    }
    case WM_HELP:
        ShowHelp();
        return TRUE;
    case WM_TIMER:
        if (wParam != BalloonTimerId)
            return FALSE;
        HideBalloon();
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam)) ? TRUE : FALSE;
    case WM_DESTROY:
        Destroy();
        return FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<ModalDialog*>(lParam);
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            self->window_ = window;
            try {
                self->OnInitDialog();
            } catch (...) {
                // A half-filled dialog would let the user confirm values it never showed.
                TraceCurrentException(L"ModalDialog::OnInitDialog");
                EndDialog(window, IDCANCEL);
            }
            return TRUE;
        }
        auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(window, DWLP_USER));
        if (self && self->window_ == window)
            return self->Handle(message, wParam, lParam);
    } catch (...) {
        TraceCurrentException(L"ModalDialog::Procedure");
    }
    return FALSE;
}
