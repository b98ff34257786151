#pragma once
// The toolkit's byte stream over a file or a memory block. Every number is
// stored little-endian whatever the host, text is UTF-16 little-endian, and
// the optional line end written after a text is LF followed by CR.
//
// Results: 16 when the stream is not open (no file, no block), 15 for a
// read at or past the end, a short read or a failed write or seek, 6 for a
// bad argument, 5 when a memory block cannot grow (or a text read cannot be
// stored). A failed read leaves its out value untouched.

#include <cstdint>
#include <string>

#include "foundation/Error.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"

class gCStream : public gCBaseObject {
public:
    // The kinds of stream.
    enum : int32_t { eMemoryOverCallerBlock = 0, eFileStream = 1, eMemoryOwnBlock = 2 };

    gCStream() = default;
    ~gCStream() override = default;
    gCStream(const gCStream&) = delete;
    gCStream& operator=(const gCStream&) = delete;

    virtual error ReadInt32(int32_t& value);
    virtual error ReadInt8(char& value);
    virtual error ReadInt16(int16_t& value);
    virtual error ReadInt64(int64_t& value);
    virtual error ReadUint8(unsigned char& value);
    virtual error ReadUint16(uint16_t& value);
    virtual error ReadUint32(uint32_t& value);
    virtual error ReadUint64(uint64_t& value);
    virtual error ReadReal(float& value);
    virtual error ReadReal64(double& value);
    virtual error ReadFlag(int32_t& value);
    virtual error ReadAsciiString(gCString& text) = 0;
    virtual error ReadString(gCString& text) = 0;
    // Exactly n bytes, or an error; never part of them reported as success.
    virtual error ReadBlock(void* destination, int32_t n) = 0;

    virtual error WriteInt32(int32_t value);
    virtual error WriteInt8(char value);
    virtual error WriteInt16(int16_t value);
    virtual error WriteInt64(int64_t value);
    virtual error WriteUint8(unsigned char value);
    virtual error WriteUint16(uint16_t value);
    virtual error WriteUint32(uint32_t value);
    virtual error WriteUint64(uint64_t value);
    virtual error WriteReal(float value);
    virtual error WriteReal64(double value);
    virtual error WriteFlag(int32_t value);
    // With a non-zero eol the text is followed by LF CR.
    virtual error WriteAsciiString(gCString text, int32_t eol) = 0;
    virtual error WriteString(gCString text, int32_t eol) = 0;
    virtual error WriteBlock(const void* source, int32_t n) = 0;

    // The byte-order mark: FF FE.
    virtual error WriteUnicodeEndianID();
    virtual error Rewind() = 0;
    virtual error FastForward() = 0;
    virtual error GetFilePos(int32_t& position) = 0;
    virtual error GetFilePos(int64_t& position) = 0;
    virtual int64_t GetFilePos() = 0;
    virtual error SetFilePos(int64_t position) = 0;
    virtual bool FileEnd() = 0;
    virtual int64_t Length() = 0;
    // Non-zero: ReadString and WriteString work on 8-bit text.
    virtual void SetReadWriteTextAsAscii(int32_t flag);

    int32_t StreamKind() const { return m_nKind; }
    // 0: UTF-16 text read little-endian, 1: big-endian.
    int32_t BigEndianText() const { return m_fBigEndian; }

protected:
    // Whether typed reads may start: a file is open, a block has data.
    virtual bool IsOpenForReading() = 0;

    int32_t m_nKind = eFileStream;
    int32_t m_fBigEndian = 0;
    int32_t m_fTextAsAscii = 0;

private:
    template <typename T> error ReadValue(T& value);
    template <typename T> error WriteValue(T value);
};

// A text's units (up to its first NUL) with LF CR appended when eol is
// non-zero. Made outside the toolkit's memory hooks, so that a writer never
// stores a text without the line end it was asked for.
std::u16string TextWithLineEnd(const gCString& text, int32_t eol);
// The same as the 8-bit text the Ascii writers store: ISO Latin-1 as
// gCString::Ascii gives it (at most 4,095 units, ending at the first unit
// Latin-1 cannot hold).
std::string AsciiWithLineEnd(const gCString& text, int32_t eol);
