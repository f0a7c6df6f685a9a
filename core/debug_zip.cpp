#include "core/debug_zip.h"

#include "core/trace_log.h"
#include "core/unique.h"

#define MINIZ_HEADER_FILE_ONLY
#include "miniz.h"

#include <algorithm>
#include <new>

namespace {

constexpr const char* EntryName = "debug.txt";

// Owns a miniz writer from a successful init to its end, whatever happens in between.
class ZipWriter {
public:
    ZipWriter() = default;
    ~ZipWriter()
    {
        if (open_)
            mz_zip_writer_end(&archive_);
    }
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    bool InitHeap()
    {
        open_ = mz_zip_writer_init_heap(&archive_, 0, 0) != MZ_FALSE;
        return open_;
    }
    mz_zip_archive* get() noexcept { return &archive_; }

private:
    mz_zip_archive archive_ = {};
    bool open_ = false;
};

// Owns a buffer that miniz allocated.
struct MinizBuffer {
    void* data = nullptr;
    size_t size = 0;
    ~MinizBuffer() { mz_free(data); }
};

DWORD WriteArchiveFile(const std::wstring& path, const std::wstring& logText)
{
    TraceScope scope(L"WriteDebugZip");
    scope.String(L"path", path);
    std::vector<unsigned char> archive;
    try {
        archive = BuildDebugZip(logText);
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }

    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        scope.Value(L"CreateFileW", static_cast<long>(error));
        return error;
    }
    DWORD error = ERROR_SUCCESS;
    size_t done = 0;
    while (done < archive.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(archive.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), archive.data() + done, chunk, &written, nullptr)) {
            error = GetLastError();
            break;
        }
        if (written == 0) {
            error = ERROR_WRITE_FAULT;
            break;
        }
        done += written;
    }
    if (!CloseHandle(file.release()) && error == ERROR_SUCCESS)
        error = GetLastError();
    if (error != ERROR_SUCCESS) {
        scope.Value(L"WriteFile", static_cast<long>(error));
        // A half-written archive is worse than none: the user would send it believing it complete.
        DeleteFileW(path.c_str());
    }
    return error;
}

} // namespace

std::vector<unsigned char> BuildDebugZip(const std::wstring& logText)
{
    TraceScope scope(L"BuildDebugZip");
    ZipWriter writer;
    if (!writer.InitHeap()) {
        scope.WriteLine(L"mz_zip_writer_init_heap failed");
        throw std::bad_alloc();
    }
    if (!mz_zip_writer_add_mem(writer.get(), EntryName, logText.data(), logText.size() * sizeof(wchar_t),
                               MZ_BEST_COMPRESSION)) {
        scope.WriteLine(L"mz_zip_writer_add_mem failed");
        throw std::bad_alloc();
    }
    MinizBuffer archive;
    if (!mz_zip_writer_finalize_heap_archive(writer.get(), &archive.data, &archive.size)) {
        scope.WriteLine(L"mz_zip_writer_finalize_heap_archive failed");
        throw std::bad_alloc();
    }
    const auto* bytes = static_cast<const unsigned char*>(archive.data);
    return std::vector<unsigned char>(bytes, bytes + archive.size);
}

bool WriteDebugZip(const std::wstring& path, const std::wstring& logText, DWORD* error)
{
    const DWORD result = WriteArchiveFile(path, logText);
    if (error)
        *error = result;
    return result == ERROR_SUCCESS;
}

