// Reading text lines from a file stream: UTF-16 with byte-order marks, or
// 8-bit text. A text ends at LF CR or CR LF (the text then ends with one LF,
// which callers remove), at a lone LF or CR, at a NUL, or at the end of the
// file; the position is left just after what ended it.

#include <string>
#include <vector>

#include "FileIO/gCFile.h"

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

// Reads chunks from the file's position and hands each whole unit of
// width bytes to step until it reports the end of the text; the position is
// then left just after the units that belong to the read.
template <typename Text, typename Step>
error ScanText(gCFile& file, int32_t chunkSize, int32_t width, LineScan<Text>& scan, Step step) {
    if (!file.IsOpen()) {
        return eInvalidFile;
    }
    if (file.FileEnd()) {
        return eFileReadWriteError;
    }
    const int64_t start = file.GetFilePos();
    std::vector<unsigned char> chunk(static_cast<size_t>(chunkSize));
    bool ended = false;
    while (!ended) {
        int32_t count = 0;
        const error e = file.ReadBufferLen(chunk.data(), chunkSize, count);
        if (e != eNoError) {
            return e;
        }
        for (int32_t i = 0; i + width <= count && !ended; i += width) {
            ended = step(&chunk[size_t(i)]);
        }
        if (count < chunkSize) {
            break;
        }
    }
    if (ended) {
        // The position just after the text, or the seek's failure: a text
        // read is never reported with the stream left elsewhere.
        return file.SetFilePos(start + width * scan.consumed);
    }
    return eNoError;
}

} // namespace

error gCFile::ReadString(gCString& text) {
    if (m_fTextAsAscii) {
        return ReadAsciiString(text);
    }
    LineScan<std::u16string> scan;
    const error e = ScanText(*this, 2048, 2, scan, [&](const unsigned char* bytes) {
        const uint32_t low = bytes[0];
        const uint32_t high = bytes[1];
        uint32_t unit = low | (high << 8);
        if (m_fBigEndian) {
            // Only the two marks keep their little-endian reading (so that
            // FF FE still switches back); every other unit is big-endian.
            const uint32_t big = (low << 8) | high;
            unit = big == 0xFEFF || big == 0xFFFE ? unit : big;
        }
        if (scan.LineEnd(unit)) {
            return true;
        }
        if (unit == 0xFFFE || unit == 0xFEFF) {
            m_fBigEndian = unit == 0xFFFE ? 1 : 0;
            ++scan.consumed;
            return false;
        }
        return scan.Keep(unit);
    });
    if (e != eNoError) {
        return e;
    }
    return text.CopyStringFromBuffer(scan.kept.data(), int32_t(scan.kept.size()));
}

error gCFile::ReadAsciiString(gCString& text) {
    LineScan<std::string> scan;
    const error e = ScanText(*this, 1024, 1, scan, [&](const unsigned char* bytes) {
        return scan.LineEnd(bytes[0]) || scan.Keep(bytes[0]);
    });
    if (e != eNoError) {
        return e;
    }
    return text.CopyStringFromBuffer(scan.kept.data(), int32_t(scan.kept.size()));
}
