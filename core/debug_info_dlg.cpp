#include "core/debug_info_dlg.h"

#include "core/com_convert.h"
#include "core/debug_zip.h"
#include "core/display_name.h"
#include "core/file_dialogs.h"
#include "core/modal_seam.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "resources/resource.h"

#include <utility>

std::wstring NormalizeLineEnds(const std::wstring& text)
{
    // One pass from the left: a CR LF stays, a reversed LF CR is one line end, a lone LF or CR becomes
    // CR LF. Passes of replacements over the whole text would take the LF CR in the middle of a blank
    // line's CR LF CR LF for a reversed pair.
    std::wstring result;
    result.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c != L'\r' && c != L'\n') {
            result += c;
            continue;
        }
        const wchar_t pair = c == L'\r' ? L'\n' : L'\r';
        if (i + 1 < text.size() && text[i + 1] == pair)
            ++i;
        result += L"\r\n";
    }
    return result;
}

DebugInfoDlg::DebugInfoDlg(std::wstring message, std::wstring details, std::wstring logText)
    : message_(std::move(message)), details_(NormalizeLineEnds(details)), logText_(std::move(logText))
{
}

INT_PTR DebugInfoDlg::Show(HWND owner)
{
    return RunModalDialog(IDD_DEBUG_INFO, owner, Procedure, reinterpret_cast<LPARAM>(this));
}

bool DebugInfoDlg::Save()
{
    TraceScope scope(L"DebugInfoDlg::Save");
    std::wstring path = L"debug.zip";
    const std::vector<std::wstring> filters = {Translate(L"Архив ZIP (*.zip)"), L"*.zip",
                                               Translate(L"Все файлы (*.*)"), L"*.*"};
    if (!SaveFileDlg(window_, path, filters, L"zip")) {
        scope.WriteLine(L"cancelled");
        return false;
    }
    scope.String(L"path", path);
    DWORD error = ERROR_SUCCESS;
    if (WriteDebugZip(path, logText_, &error))
        return true;
    scope.Value(L"error", static_cast<long>(error));
    const std::wstring text = Translate(L"Не удалось сохранить файл.") + L"\r\n" + path + L"\r\n" +
                              ComErrorToWString(_com_error(HRESULT_FROM_WIN32(error)));
    ShowMessageBox(window_, text, LibraryDisplayName(), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void DebugInfoDlg::OnInit(HWND window)
{
    window_ = window;
    SetWindowTextW(window, LibraryDisplayName().c_str());
    SetDlgItemTextW(window, IDOK, Translate(L"Сохранить...").c_str());
    SetDlgItemTextW(window, IDCANCEL, Translate(L"Не сохранять").c_str());
    SetDlgItemTextW(window, IDC_DEBUG_HINT,
                    Translate(L"Чтобы сохранить отладочную информацию, нажмите кнопку \"Сохранить\".").c_str());
    SetDlgItemTextW(window, IDC_DEBUG_MESSAGE, message_.c_str());
    SetDlgItemTextW(window, IDC_DEBUG_DETAILS, details_.c_str());

    boldFont_ = SetDerivedFont(GetDlgItem(window, IDC_DEBUG_MESSAGE), [](LOGFONTW& font) { font.lfWeight = FW_BOLD; });
}

void DebugInfoDlg::OnDestroy() noexcept
{
    boldFont_.reset();
    window_ = nullptr;
}

INT_PTR CALLBACK DebugInfoDlg::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            reinterpret_cast<DebugInfoDlg*>(lParam)->OnInit(window);
            return TRUE;
        }
        auto* self = reinterpret_cast<DebugInfoDlg*>(GetWindowLongPtrW(window, DWLP_USER));
        if (!self)
            return FALSE;
        switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK:
                if (self->Save())
                    EndDialog(window, IDOK);
                return TRUE;
            case IDCANCEL: // the button, Escape and the close box
                EndDialog(window, IDCANCEL);
                return TRUE;
            }
            break;
        case WM_DESTROY:
            self->OnDestroy();
            break;
        }
    } catch (...) {
        TraceCurrentException(L"DebugInfoDlg::Procedure");
    }
    return FALSE;
}
