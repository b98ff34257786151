#pragma once
// An owned block of count elements, allocated through the memory hooks.
// The byte form, CMemBlock, is the storage of memory streams.

#include <cstdint>
#include <cstring>
#include <limits>

#include "foundation/gCBaseObject.h"
#include "foundation/gCMemory.h"

template <typename T> class CMemBlockT : public gCBaseObject {
public:
    CMemBlockT() = default;
    ~CMemBlockT() override { Free(); }

    CMemBlockT(const CMemBlockT&) = delete;
    CMemBlockT& operator=(const CMemBlockT&) = delete;

    uint32_t GetCount() const { return m_nCount; }
    T* GetData() { return m_pData; }
    const T* GetData() const { return m_pData; }
    size_t GetByteSize() const { return size_t(m_nCount) * sizeof(T); }

    // Returns 1 on success and 0 when the block cannot be reallocated; the
    // block then keeps its old data and count. A zero-fill flag clears the
    // whole block, not only the added part.
    int32_t Resize(uint32_t count, int32_t zeroFill) {
        if (count == 0) {
            Free();
            return 1;
        }
        if (size_t(count) > std::numeric_limits<size_t>::max() / sizeof(T)) {
            return 0;
        }
        const size_t bytes = size_t(count) * sizeof(T);
        void* p = gCMemory::Realloc(m_pData, bytes);
        if (!p) {
            return 0;
        }
        m_pData = static_cast<T*>(p);
        m_nCount = count;
        if (zeroFill) {
            std::memset(static_cast<void*>(m_pData), 0, bytes);
        }
        return 1;
    }

    // Both copy min(n, count) bytes at the start of the block; for byte
    // blocks count is the byte count.
    void CopyFromBuffer(const void* source, uint32_t n) {
        const uint32_t k = n < m_nCount ? n : m_nCount;
        if (k) {
            std::memcpy(static_cast<void*>(m_pData), source, k);
        }
    }
    void CopyToBuffer(void* destination, uint32_t n) const {
        const uint32_t k = n < m_nCount ? n : m_nCount;
        if (k) {
            std::memcpy(destination, static_cast<const void*>(m_pData), k);
        }
    }

protected:
    void Free() {
        if (m_pData) {
            gCMemory::Free(m_pData);
        }
        m_pData = nullptr;
        m_nCount = 0;
    }

    uint32_t m_nCount = 0;
    T* m_pData = nullptr;
};

class CMemBlock : public CMemBlockT<unsigned char> {};
