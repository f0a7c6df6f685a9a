#include "core/mem_block.h"

#include <cstdlib>
#include <cstring>
#include <new>

MemChunk::~MemChunk()
{
    std::free(buffer_);
}

MemBlock::MemBlock(size_t bytes) : MemChunk(std::malloc(bytes ? bytes : 1)), capacity_(bytes)
{
    if (!buffer_)
        throw std::bad_alloc();
}

MemBlock::MemBlock(const std::wstring& text) : MemChunk(nullptr), capacity_(PathChars * sizeof(wchar_t))
{
    // The copy must keep its terminator.
    if (text.size() >= PathChars)
        throw std::bad_alloc();
    buffer_ = std::calloc(PathChars, sizeof(wchar_t));
    if (!buffer_)
        throw std::bad_alloc();
    std::memcpy(buffer_, text.data(), text.size() * sizeof(wchar_t));
}

void MemBlock::Resize(size_t bytes)
{
    void* resized = std::realloc(buffer_, bytes ? bytes : 1);
    if (!resized)
        throw std::bad_alloc();
    buffer_ = resized;
    capacity_ = bytes;
}
