// Where a line breaks: after the last space or punctuation that fits in the
// width, else at the first character that does not fit. The text is
// measured 64 characters at a time, each chunk from its own start, so that
// a long paragraph is never measured whole.

#include "text/TextRenderer.h"

namespace {

constexpr int32_t kChunk = 64;

// A line may break after one of these.
bool IsBreakCandidate(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
        return false;
    }
    switch (c) {
    case u' ':
    case u'.':
    case u',':
    case u':':
    case u';':
    case u'(':
    case u')':
    case u'_':
    case u'-':
    case u'+':
    case u'=':
    case u'{':
    case u'[':
    case u'}':
    case u']':
    case u'~':
    case u'!':
    case u'#':
    case u'$':
    case u'%':
    case u'^':
    case u'&':
    case u'*':
    case u'|':
    case u'\\':
    case u'<':
    case u'>':
    case u'/':
    case u'?':
    case u'@':
    case u'`':
        return true;
    default:
        return false;
    }
}

bool EndsLine(char16_t c) {
    return c == 0 || c == 13 || c == 10;
}

} // namespace

int32_t CTextRenderer::CalcBreakCharPos(const char16_t* text, int32_t width) {
    if (!text) {
        return 0;
    }
    const int64_t limit = int64_t(width) - 2;
    int32_t lastBreak = -1;
    int64_t base = 0;
    for (int32_t start = 0;; start += kChunk) {
        // The chunk: up to 64 characters, ending early at NUL, CR or LF.
        char16_t chunk[kChunk + 1];
        int32_t n = 0;
        int32_t chunkBreak = -1;
        while (n < kChunk && !EndsLine(text[start + n])) {
            chunk[n] = text[start + n];
            ++n;
            if (IsBreakCandidate(chunk[n - 1])) {
                chunkBreak = start + n;
            }
        }
        chunk[n] = 0;
        const bool endedEarly = n < kChunk;
        if (n == 0) {
            return start; // the line ends here
        }
        int32_t positions[kChunk + 1] = {};
        if (CharPositions(chunk, positions) != eNoError) {
            return 0;
        }
        const int64_t end = base + positions[n];
        if (endedEarly && end < limit) {
            return start + n;
        }
        if (end >= limit) {
            for (int32_t i = 0; i < n; ++i) {
                if (base + positions[i + 1] >= limit) {
                    return lastBreak >= 0 ? lastBreak : start + i;
                }
                if (IsBreakCandidate(chunk[i])) {
                    lastBreak = start + i + 1;
                }
            }
        }
        // A whole chunk that fits.
        if (chunkBreak >= 0) {
            lastBreak = chunkBreak;
        }
        base = end;
    }
}
