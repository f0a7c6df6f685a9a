#include "library/clone_copies.h"

#include "core/com.h"
#include "core/files.h"
#include "core/format_string.h"
#include "core/trace_log.h"
#include "core/translate.h"

namespace {

// The same file whatever its spelling: the full path, upper case.
std::wstring PathKey(const std::wstring& path)
{
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    full.resize(length == 0 ? 0 : length);
    if (full.empty())
        full = path;
    CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    return full;
}

[[noreturn]] void Refuse(const wchar_t* format, const std::wstring& file)
{
    throw _bstr_t(FormatString(Translate(format), file.c_str()).c_str());
}

[[noreturn]] void CopyFailed(const std::wstring& source, const std::wstring& copy)
{
    throw FormatString(Translate(L"Не удалось скопировать файл \"%s\" в \"%s\"."), source.c_str(), copy.c_str());
}

std::wstring NewBackupFile()
{
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t file[MAX_PATH + 1] = {};
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"nms", 0, file))
        return std::wstring();
    return file;
}

} // namespace

CloneCopies::~CloneCopies()
{
    if (kept_) {
        for (const Entry& entry : entries_)
            if (!entry.backup.empty())
                DeleteFileW(entry.backup.c_str());
        return;
    }
    RollBack();
}

bool CloneCopies::Plan(const std::wstring& source, const std::wstring& copy)
{
    const std::wstring sourceKey = PathKey(source);
    if (!sources_.insert(sourceKey).second)
        return false;
    const std::wstring copyKey = PathKey(copy);
    if (copies_.count(copyKey))
        Refuse(L"Разные файлы стандартного изделия пришлось бы скопировать в один файл \"%s\".", copy);
    copies_[copyKey] = entries_.size();
    entries_.push_back({source, copy, std::wstring(), false});
    return true;
}

void CloneCopies::CopyAll()
{
    TraceScope scope(L"CloneCopies::CopyAll");
    // The standard part's own files are never written: not by the copy, nor by what is done to it later.
    for (const Entry& entry : entries_)
        if (sources_.count(PathKey(entry.copy)))
            Refuse(L"Файл \"%s\" принадлежит стандартному изделию: деталь пользователя не может быть записана в него.",
                   entry.copy);
    for (Entry& entry : entries_) {
        if (GetFileLength(entry.copy) != -1) {
            const std::wstring backup = NewBackupFile();
            if (backup.empty() || !CopyFileW(entry.copy.c_str(), backup.c_str(), FALSE)) {
                if (!backup.empty())
                    DeleteFileW(backup.c_str());
                CopyFailed(entry.copy, backup);
            }
            entry.backup = backup;
        }
        if (!CopyFileW(entry.source.c_str(), entry.copy.c_str(), FALSE))
            CopyFailed(entry.source, entry.copy);
        entry.copied = true;
        scope.String(L"copied", entry.copy);
    }
}

void CloneCopies::RollBack() noexcept
{
    try {
        TraceScope scope(L"CloneCopies::RollBack");
        for (const Entry& entry : entries_) {
            if (!entry.copied && entry.backup.empty())
                continue;
            const bool restored = entry.backup.empty() ? DeleteFileW(entry.copy.c_str()) != FALSE
                                                       : CopyFileW(entry.backup.c_str(), entry.copy.c_str(), FALSE) != FALSE;
            scope.String(restored ? L"restored" : L"not restored", entry.copy);
            if (!entry.backup.empty() && restored)
                DeleteFileW(entry.backup.c_str());
        }
    } catch (...) {
        // Only the trace can fail here; the files were put back as far as Windows let us.
    }
}
