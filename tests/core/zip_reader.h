#pragma once
// Reads a ZIP archive back with miniz's reader, for the tests of the debug archive.
#define MINIZ_HEADER_FILE_ONLY
#include "miniz.h"

#include <string>
#include <vector>

namespace testsupport {

struct ZipEntry {
    std::string name;
    unsigned method = 0; // 8: deflate
    std::string bytes;
};

// The entries of the archive; empty when it cannot be read.
inline std::vector<ZipEntry> ReadZip(const std::string& archive)
{
    std::vector<ZipEntry> entries;
    mz_zip_archive zip = {};
    if (!mz_zip_reader_init_mem(&zip, archive.data(), archive.size(), 0))
        return entries;
    for (mz_uint index = 0; index < mz_zip_reader_get_num_files(&zip); ++index) {
        mz_zip_archive_file_stat stat = {};
        if (!mz_zip_reader_file_stat(&zip, index, &stat))
            break;
        size_t size = 0;
        void* data = mz_zip_reader_extract_to_heap(&zip, index, &size, 0);
        ZipEntry entry;
        entry.name = stat.m_filename;
        entry.method = stat.m_method;
        if (data)
            entry.bytes.assign(static_cast<const char*>(data), size);
        mz_free(data);
        entries.push_back(entry);
    }
    mz_zip_reader_end(&zip);
    return entries;
}

inline std::string Utf16Bytes(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

} // namespace testsupport
