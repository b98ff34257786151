#include "FileIO/CASMemFile.h"

bool CASMemFile::Resize(uint32_t size, int32_t zeroFill) {
    if (!m_pBlock || !m_pBlock->Resize(size, zeroFill)) {
        return false;
    }
    m_nLength = int64_t(size);
    if (m_nPosition > m_nLength) {
        m_nPosition = m_nLength;
    }
    return true;
}
