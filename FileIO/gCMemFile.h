#pragma once
// A byte stream over a memory block. The block's count is the capacity; the
// used length is what has been written (or, over a caller's block, the
// whole block). Writes past the used length grow the block, 2,048 bytes
// beyond the need each time; a block that cannot grow gives 5 and leaves
// the stream as it was. The block's bytes come from the memory hooks, and
// running out of memory is always a result, never an exception.

#include <cstdint>

#include "FileIO/gCStream.h"
#include "foundation/CMemBlock.h"

class gCMemFile : public gCStream {
public:
    // A block of its own, part of the stream and freed with it, with room
    // for 2,048 bytes. When that room cannot be had the block starts empty
    // and the first write asks again (5 when it still cannot grow).
    gCMemFile();
    // A caller's block, never owned: the caller keeps it alive while the
    // stream lives and frees it afterwards. Its whole count is the used
    // length.
    explicit gCMemFile(CMemBlock* block);
    ~gCMemFile() override = default;

    error ReadAsciiString(gCString& text) override;
    error ReadString(gCString& text) override;
    error ReadBlock(void* destination, int32_t n) override;
    error WriteAsciiString(gCString text, int32_t eol) override;
    error WriteString(gCString text, int32_t eol) override;
    error WriteBlock(const void* source, int32_t n) override;

    error Rewind() override;
    error FastForward() override;
    error GetFilePos(int32_t& position) override;
    error GetFilePos(int64_t& position) override;
    int64_t GetFilePos() override;
    error SetFilePos(int64_t position) override;
    bool FileEnd() override;
    int64_t Length() override;

    // The used length.
    virtual int64_t GetSize();
    // Extends the used length by n bytes, enlarging the block when it is
    // too small: 6 without a block (or over a caller's block without
    // data), 5 when it cannot grow, the stream then unchanged.
    virtual error GrowBy(int32_t n);

    // Cuts the used length back to length when it is longer (a negative
    // length counts as 0), the position with it; the block keeps its room.
    void CutTo(int64_t length);

    // The block: the stream's own (never null) or the caller's.
    CMemBlock* GetMemBlock() { return m_pBlock; }

protected:
    bool IsOpenForReading() override { return HasData(); }
    bool HasData() const { return m_pBlock && m_pBlock->GetData(); }
    bool OwnsBlock() const { return m_pBlock == &m_OwnBlock; }
    // Keeps the used length within the block.
    void ClampLength();
    // Where a failed read or seek leaves the position: the last used byte.
    void FailPosition() { m_nPosition = m_nLength > 0 ? m_nLength - 1 : 0; }
    // The bytes of a text from the position up to its NUL of the given
    // width: 16 without a block, 15 at the end or when no NUL lies within
    // the used length (the position then at the last used byte).
    error TerminatedText(int32_t width, int64_t& count);

    int64_t m_nLength = 0;
    int64_t m_nPosition = 0;
    // The stream's own block, used unless a caller's block was given; the
    // stream is neither copied nor moved, so the pointer to it stays good.
    CMemBlock m_OwnBlock;
    CMemBlock* m_pBlock = nullptr;
};
