// Reading text lines from a file stream: UTF-16 with byte-order marks, or
// 8-bit text. A text ends at LF CR or CR LF (the text then ends with one LF,
// which callers remove), at a lone LF or CR, at a NUL, or at the end of the
// file; the position is left just after what ended it.

#include <string>

#include "gCFile.h"

namespace {

constexpr uint32_t kLF = 0x0A;
constexpr uint32_t kCR = 0x0D;

// The scan over units shared by both readers. Feed returns true once the
// text has ended; consumed counts the units that belong to the read.
template <typename Text> struct LineScan {
    Text kept;
    uint32_t previous = 0;
    int64_t consumed = 0;

    bool LineEnd(uint32_t unit) {
        if (previous == kLF) {
            consumed += unit == kCR ? 1 : 0;
            return true;
        }
        if (previous == kCR) {
            kept.back() = typename Text::value_type(kLF);
            consumed += unit == kLF ? 1 : 0;
            return true;
        }
        return false;
    }

    bool Keep(uint32_t unit) {
        ++consumed;
        if (unit == 0) {
            return true;
        }
        kept.push_back(typename Text::value_type(unit));
        previous = unit;
        return false;
    }
};

} // namespace

error gCFile::ReadString(gCString& text) {
    if (m_fTextAsAscii) {
        return ReadAsciiString(text);
    }
    if (!IsOpen()) {
        return eInvalidFile;
    }
    if (FileEnd()) {
        return eFileReadWriteError;
    }
    const int64_t start = GetFilePos();
    LineScan<std::u16string> scan;
    bool ended = false;
    constexpr int32_t kChunk = 2048;
    unsigned char chunk[kChunk];
    while (!ended) {
        int32_t count = 0;
        const error e = ReadBufferLen(chunk, kChunk, count);
        if (e != eNoError) {
            return e;
        }
        for (int32_t i = 0; i + 1 < count && !ended; i += 2) {
            const uint32_t low = chunk[i];
            const uint32_t high = chunk[i + 1];
            uint32_t unit = low | (high << 8);
            if (m_fBigEndian) {
                const uint32_t big = (low << 8) | high;
                unit = big >= 0xFEFF ? unit : big;
            }
            if (scan.LineEnd(unit)) {
                ended = true;
            } else if (unit == 0xFFFE || unit == 0xFEFF) {
                m_fBigEndian = unit == 0xFFFE ? 1 : 0;
                ++scan.consumed;
            } else {
                ended = scan.Keep(unit);
            }
        }
        if (count < kChunk) {
            break;
        }
    }
    if (ended) {
        SetFilePos(start + 2 * scan.consumed);
    }
    return text.CopyStringFromBuffer(scan.kept.data(), int32_t(scan.kept.size()));
}

error gCFile::ReadAsciiString(gCString& text) {
    if (!IsOpen()) {
        return eInvalidFile;
    }
    if (FileEnd()) {
        return eFileReadWriteError;
    }
    const int64_t start = GetFilePos();
    LineScan<std::string> scan;
    bool ended = false;
    constexpr int32_t kChunk = 1024;
    unsigned char chunk[kChunk];
    while (!ended) {
        int32_t count = 0;
        const error e = ReadBufferLen(chunk, kChunk, count);
        if (e != eNoError) {
            return e;
        }
        for (int32_t i = 0; i < count && !ended; ++i) {
            ended = scan.LineEnd(chunk[i]) || scan.Keep(chunk[i]);
        }
        if (count < kChunk) {
            break;
        }
    }
    if (ended) {
        SetFilePos(start + scan.consumed);
    }
    return text.CopyStringFromBuffer(scan.kept.data(), int32_t(scan.kept.size()));
}
