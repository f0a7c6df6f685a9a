#pragma once
// What the settings dialogs share: the modal run from the library's resources with the object behind the
// window, one dialog procedure that lets no exception out, translated texts, the OK and Cancel buttons
// lined up left of Help, help topics, and the input-error balloon with its three-second timer and the
// character filters of the edit fields.
#include "core/com.h"
#include "tools/number_range.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ModalDialog {
public:
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    HWND Window() const noexcept { return window_; }

protected:
    explicit ModalDialog(DWORD helpContext) noexcept : helpContext_(helpContext) {}
    virtual ~ModalDialog() = default;

    // Runs the dialog template modally over owner; the code EndDialog was given.
    INT_PTR Run(int dialogId, HWND owner);

    virtual void OnInitDialog() = 0;
    // True when the command was handled.
    virtual bool OnCommand(int id, int code) = 0;
    virtual bool OnNotify(const NMHDR&) { return false; }
    virtual void OnDestroy() noexcept {}

    HWND Item(int id) const { return GetDlgItem(window_, id); }
    bool IsChecked(int id) const;
    void Check(int id, bool checked);
    void Enable(int id, bool enabled);
    std::wstring ItemText(int id) const;
    void SetItemText(int id, const std::wstring& text);
    // The texts given are translated.
    void SetTexts(const std::wstring& title, const std::vector<std::pair<int, const wchar_t*>>& texts);
    // Cancel 8 pixels left of Help, OK 8 pixels left of Cancel.
    void LineUpButtons();
    void ShowHelp() const;
    void SetHelpContext(DWORD context) noexcept { helpContext_ = context; }

    int ComboSelection(int id) const;
    void SelectCombo(int id, int index);
    void FillCombo(int id, const std::vector<std::wstring>& items);

    // The balloon at the control; title and text are shown as given (translated by the caller).
    void ShowBalloon(int id, const std::wstring& title, const std::wstring& text);
    void HideBalloon() noexcept;

    // A character typed into the edit field is refused, with the balloon of the translated title and
    // text, when refuse says so.
    using CharacterRule = std::function<bool(wchar_t typed)>;
    void FilterTyping(int id, CharacterRule refuse, const wchar_t* title, const wchar_t* text);
    // Digits and control characters pass, at most 5 characters.
    void MakeNumberField(int id);
    // The field's number when it is one within the range; else the balloon says so, and nullopt.
    std::optional<int32_t> CheckNumber(int id, NumberRange range);

    HWND window_ = nullptr;

private:
    struct Filter {
        ModalDialog* dialog;
        int id;
        CharacterRule refuse;
        const wchar_t* title;
        const wchar_t* text;
    };

    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FilterProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR data);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Destroy() noexcept;

    DWORD helpContext_;
    HWND toolTip_ = nullptr;
    std::vector<std::unique_ptr<Filter>> filters_;
};
