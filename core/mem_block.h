#pragma once
// Owned byte buffers for Windows calls that fill a buffer. Every failed allocation throws std::bad_alloc.
#include <cstddef>
#include <string>

class MemChunk {
public:
    explicit MemChunk(void* buffer = nullptr) noexcept : buffer_(buffer) {}
    virtual ~MemChunk();
    MemChunk(const MemChunk&) = delete;
    MemChunk& operator=(const MemChunk&) = delete;

    void* Data() const noexcept { return buffer_; }
    template <typename T>
    T* As() const noexcept { return static_cast<T*>(buffer_); }

protected:
    void* buffer_;  // allocated with malloc/realloc, may be null
};

class MemBlock : public MemChunk {
public:
    // `bytes` bytes, contents undefined.
    explicit MemBlock(size_t bytes);
    // 260 wide characters (520 bytes) cleared to zero holding `text`; a text of 260 characters or more
    // throws std::bad_alloc, so the copy always keeps its terminator.
    explicit MemBlock(const std::wstring& text);

    static constexpr size_t PathChars = 260;

    size_t Capacity() const noexcept { return capacity_; }
    // New size in bytes; the contents are kept up to the smaller of the two sizes.
    void Resize(size_t bytes);

private:
    size_t capacity_;
};
