#include "sim/app/debug_archive.h"

#include "core/com.h"
#include "sim/text_file.h"

#include <miniz.h>


namespace velmar_sim {

std::optional<std::wstring> ReadDebugLog(const std::wstring& archive)
{
    const std::optional<std::string> bytes = sim::ReadFileBytes(archive);
    if (!bytes || bytes->empty())
        return std::nullopt;
    mz_zip_archive zip = {};
    if (!mz_zip_reader_init_mem(&zip, bytes->data(), bytes->size(), 0))
        return std::nullopt;
    size_t size = 0;
    void* data = mz_zip_reader_extract_file_to_heap(&zip, "debug.txt", &size, 0);
    mz_zip_reader_end(&zip);
    if (!data)
        return std::nullopt;
    std::wstring text(static_cast<const wchar_t*>(data), size / sizeof(wchar_t));
    mz_free(data);
    if (!text.empty() && text[0] == L'\xFEFF')
        text.erase(0, 1);
    return text;
}

} // namespace velmar_sim
