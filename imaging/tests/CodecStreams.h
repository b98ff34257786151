#pragma once
// Streams for the codec tests: one over given bytes, one that keeps a copy
// of what is written and can refuse writes past a limit (a full disk), and
// one that refuses reads past a limit or any seek.

#include <cstdint>
#include <cstring>
#include <vector>

#include "FileIO/gCMemFile.h"

namespace codectest {

using Bytes = std::vector<uint8_t>;

// A memory stream over a copy of the bytes, at position 0.
class CBytesIn {
public:
    explicit CBytesIn(const Bytes& bytes) : m_Stream(Fill(m_Block, bytes)) {}
    gCMemFile& Stream() { return m_Stream; }

private:
    static CMemBlock* Fill(CMemBlock& block, const Bytes& bytes) {
        if (!bytes.empty()) {
            block.Resize(uint32_t(bytes.size()), 0);
            std::memcpy(block.GetData(), bytes.data(), bytes.size());
        }
        return &block;
    }
    CMemBlock m_Block;
    gCMemFile m_Stream;
};

class CRecordingStream : public gCMemFile {
public:
    // limit < 0: every write is taken.
    explicit CRecordingStream(int64_t limit = -1) : m_nLimit(limit) {}
    error WriteBlock(const void* source, int32_t n) override {
        if (m_nLimit >= 0 && int64_t(m_Written.size()) + n > m_nLimit) {
            return eFileReadWriteError;
        }
        const error e = gCMemFile::WriteBlock(source, n);
        if (e == eNoError && n > 0) {
            const size_t at = m_Written.size();
            m_Written.resize(at + size_t(n));
            std::memcpy(m_Written.data() + at, source, size_t(n));
        }
        return e;
    }
    const Bytes& Written() const { return m_Written; }

private:
    int64_t m_nLimit;
    Bytes m_Written;
};

// A memory stream over a copy of the bytes, at position 0, that refuses
// every read reaching past readLimit bytes (a disk failing part way) and,
// unless it seeks, every move of its position.
class CFaultyIn : public gCMemFile {
public:
    CFaultyIn(const Bytes& bytes, int64_t readLimit, bool seeks = true)
        : m_nLimit(readLimit), m_fSeeks(seeks) {
        m_fFilled = bytes.empty() ||
                    (gCMemFile::WriteBlock(bytes.data(), int32_t(bytes.size())) == eNoError &&
                     gCMemFile::Rewind() == eNoError);
    }
    // Whether the bytes went in; a test asserts it first.
    bool IsFilled() const { return m_fFilled; }

    error ReadBlock(void* destination, int32_t n) override {
        if (GetFilePos() + n > m_nLimit) {
            return eFileReadWriteError;
        }
        return gCMemFile::ReadBlock(destination, n);
    }
    error Rewind() override { return m_fSeeks ? gCMemFile::Rewind() : eFileReadWriteError; }
    error SetFilePos(int64_t position) override {
        return m_fSeeks ? gCMemFile::SetFilePos(position) : eFileReadWriteError;
    }

private:
    int64_t m_nLimit;
    bool m_fSeeks;
    bool m_fFilled = false;
};

inline void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

} // namespace codectest
