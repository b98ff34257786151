#include "FileIO/gCMemFile.h"

#include <cstring>
#include <limits>
#include <string>

#include "foundation/StringUnits.h"

gCMemFile::gCMemFile() : m_pBlock(&m_OwnBlock) {
    m_nKind = eMemoryOwnBlock;
    // Without memory the block stays empty: GrowBy asks again at the first
    // write and reports 5 when it still cannot have the room.
    (void)m_OwnBlock.Resize(2048, 0);
}

gCMemFile::gCMemFile(CMemBlock* block) : m_pBlock(block) {
    m_nKind = eMemoryOverCallerBlock;
    m_nLength = block ? int64_t(block->GetCount()) : 0;
}

void gCMemFile::ClampLength() {
    const int64_t count = m_pBlock ? int64_t(m_pBlock->GetCount()) : 0;
    if (m_nLength > count) {
        m_nLength = count;
    }
}

error gCMemFile::ReadBlock(void* destination, int32_t n) {
    if (!m_pBlock) {
        return eInvalidFile;
    }
    if (n < 0 || (n > 0 && !destination)) {
        return eBadParameter;
    }
    ClampLength();
    if (FileEnd()) {
        return eFileReadWriteError;
    }
    if (m_nPosition + n > m_nLength) {
        FailPosition();
        return eFileReadWriteError;
    }
    if (n > 0) {
        std::memcpy(destination, m_pBlock->GetData() + m_nPosition, size_t(n));
    }
    m_nPosition += n;
    return eNoError;
}

error gCMemFile::WriteBlock(const void* source, int32_t n) {
    if (!m_pBlock) {
        return eInvalidFile;
    }
    if (n < 0 || (n > 0 && !source)) {
        return eBadParameter;
    }
    ClampLength();
    if (m_nPosition + n > m_nLength) {
        const int64_t more = m_nPosition + n - m_nLength;
        if (more > std::numeric_limits<int32_t>::max()) {
            return eOutOfMemory;
        }
        const error e = GrowBy(int32_t(more));
        if (e != eNoError) {
            return e;
        }
    }
    if (n > 0) {
        std::memcpy(m_pBlock->GetData() + m_nPosition, source, size_t(n));
    }
    m_nPosition += n;
    return eNoError;
}

error gCMemFile::GrowBy(int32_t n) {
    // The stream's own block may still be empty: its first room is asked
    // for here.
    if (!HasData() && !OwnsBlock()) {
        return eBadParameter;
    }
    if (n < 0) {
        return eBadParameter;
    }
    ClampLength();
    const int64_t need = m_nLength + n;
    if (need < int64_t(m_pBlock->GetCount())) {
        m_nLength = need;
        return eNoError;
    }
    const int64_t size = need + 2048;
    if (size > int64_t(std::numeric_limits<uint32_t>::max()) ||
        !m_pBlock->Resize(uint32_t(size), 0)) {
        return eOutOfMemory;
    }
    m_pBlock->GetData()[size - 1] = 0;
    m_nLength = need;
    return eNoError;
}

error gCMemFile::TerminatedText(int32_t width, int64_t& count) {
    if (!m_pBlock) {
        return eInvalidFile;
    }
    ClampLength();
    if (FileEnd()) {
        return eFileReadWriteError;
    }
    const unsigned char* data = m_pBlock->GetData();
    for (int64_t at = m_nPosition; at + width <= m_nLength; at += width) {
        bool nul = true;
        for (int32_t i = 0; i < width; ++i) {
            nul = nul && data[at + i] == 0;
        }
        if (nul) {
            count = at - m_nPosition;
            return eNoError;
        }
    }
    FailPosition();
    return eFileReadWriteError;
}

error gCMemFile::ReadString(gCString& text) {
    if (m_fTextAsAscii) {
        return ReadAsciiString(text);
    }
    int64_t count = 0;
    const error found = TerminatedText(2, count);
    if (found != eNoError) {
        return found;
    }
    const unsigned char* data = m_pBlock->GetData() + m_nPosition;
    std::u16string units(size_t(count / 2), u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
    }
    const error e = text.CopyStringFromBuffer(units.data(), int32_t(units.size()));
    if (e != eNoError) {
        return e;
    }
    m_nPosition += count + 2;
    return eNoError;
}

error gCMemFile::ReadAsciiString(gCString& text) {
    int64_t count = 0;
    const error found = TerminatedText(1, count);
    if (found != eNoError) {
        return found;
    }
    const char* bytes = reinterpret_cast<const char*>(m_pBlock->GetData() + m_nPosition);
    const error e = text.CopyStringFromBuffer(bytes, int32_t(count));
    if (e != eNoError) {
        return e;
    }
    m_nPosition += count + 1;
    return eNoError;
}

error gCMemFile::WriteString(gCString text, int32_t eol) {
    if (m_fTextAsAscii) {
        return WriteAsciiString(text, eol);
    }
    if (!m_pBlock) {
        return eInvalidFile;
    }
    const std::u16string units = TextWithLineEnd(text, eol);
    std::string bytes(units.size() * 2 + 2, '\0');
    for (size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = char(units[i] & 0xFF);
        bytes[2 * i + 1] = char(units[i] >> 8);
    }
    return WriteBlock(bytes.data(), int32_t(bytes.size()));
}

error gCMemFile::WriteAsciiString(gCString text, int32_t eol) {
    if (!m_pBlock) {
        return eInvalidFile;
    }
    const std::string latin1 = AsciiWithLineEnd(text, eol);
    return WriteBlock(latin1.c_str(), int32_t(latin1.size() + 1));
}

error gCMemFile::Rewind() {
    if (!m_pBlock) {
        return eInvalidFile;
    }
    m_nPosition = 0;
    return eNoError;
}

error gCMemFile::FastForward() {
    ClampLength();
    m_nPosition = m_nLength;
    return eNoError;
}

error gCMemFile::GetFilePos(int32_t& position) {
    if (!m_pBlock) {
        return eInvalidFile;
    }
    position = int32_t(m_nPosition);
    return eNoError;
}

error gCMemFile::GetFilePos(int64_t& position) {
    if (!m_pBlock) {
        return eInvalidFile;
    }
    position = m_nPosition;
    return eNoError;
}

int64_t gCMemFile::GetFilePos() {
    return m_nPosition;
}

error gCMemFile::SetFilePos(int64_t position) {
    if (position < 0 || !m_pBlock) {
        return eBadParameter;
    }
    ClampLength();
    if (position <= m_nLength) {
        m_nPosition = position;
        return eNoError;
    }
    FailPosition();
    return eFileReadWriteError;
}

bool gCMemFile::FileEnd() {
    if (!HasData()) {
        return true;
    }
    return m_nPosition >= m_nLength;
}

int64_t gCMemFile::Length() {
    return m_nLength;
}

void gCMemFile::CutTo(int64_t length) {
    if (length < 0) {
        length = 0;
    }
    if (m_nLength > length) {
        m_nLength = length;
    }
    if (m_nPosition > m_nLength) {
        m_nPosition = m_nLength;
    }
}

int64_t gCMemFile::GetSize() {
    return m_nLength;
}
