#pragma once
// Temporary stand-in for the toolkit's memory stream.

#include <cstring>

#include "CMemBlock.h"
#include "gCStream.h"

class gCMemFile : public gCStream {
public:
    gCMemFile() : m_pBlock(new CMemBlock), m_fOwns(1) { m_pBlock->Resize(2048, 0); }
    explicit gCMemFile(CMemBlock* block)
        : m_nLength(block ? block->GetCount() : 0), m_pBlock(block), m_fOwns(0) {}
    ~gCMemFile() override {
        if (m_fOwns) {
            delete m_pBlock;
        }
    }
    error ReadBlock(char* data, int32_t n) override {
        if (!m_pBlock || !m_pBlock->GetData()) {
            return eInvalidFile;
        }
        if (FileEnd()) {
            return eFileReadWriteError;
        }
        if (n < 0 || m_nPos + n > m_nLength) {
            m_nPos = m_nLength - 1;
            return eFileReadWriteError;
        }
        std::memcpy(data, m_pBlock->GetData() + m_nPos, size_t(n));
        m_nPos += n;
        return eNoError;
    }
    error WriteBlock(char* data, int32_t n) override {
        if (!m_pBlock) {
            return eInvalidFile;
        }
        if (m_nPos + n > m_nLength) {
            if (error e = GrowBy(int32_t(m_nPos + n - m_nLength))) {
                return e;
            }
        }
        std::memcpy(m_pBlock->GetData() + m_nPos, data, size_t(n));
        m_nPos += n;
        return eNoError;
    }
    error Rewind() override {
        m_nPos = 0;
        return eNoError;
    }
    int64_t GetFilePos() override { return m_nPos; }
    error SetFilePos(int64_t pos) override {
        if (pos < 0) {
            return eBadParameter;
        }
        if (pos > m_nLength) {
            m_nPos = m_nLength - 1;
            return eFileReadWriteError;
        }
        m_nPos = pos;
        return eNoError;
    }
    bool FileEnd() override { return !m_pBlock || !m_pBlock->GetData() || m_nPos >= m_nLength; }
    int64_t Length() override { return m_nLength; }
    error GrowBy(int32_t n) {
        if (!m_pBlock || !m_pBlock->GetData()) {
            return eBadParameter;
        }
        if (m_nLength + n < int64_t(m_pBlock->GetCount())) {
            m_nLength += n;
            return eNoError;
        }
        if (!m_pBlock->Resize(uint32_t(m_nLength + n + 2048), 0)) {
            return eOutOfMemory;
        }
        m_nLength += n;
        return eNoError;
    }

private:
    int64_t m_nLength = 0;
    int64_t m_nPos = 0;
    CMemBlock* m_pBlock;
    int32_t m_fOwns;
};
