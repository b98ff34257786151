#pragma once
// A sorted array with binary search. The compare callback's sense is the
// reverse of the usual three-way comparison: compare(a, b) is positive when
// a belongs before b, negative when after, and 0 when they are equal. It is
// always called as compare(key, element, user).

#include <cstdint>
#include <cstring>

#include "foundation/Alert.h"
#include "foundation/gCArray.h"

template <typename T> class gCDictionary : public gCArray<T> {
public:
    using CompareProc = int32_t (*)(T, T, void*);

    gCDictionary() = default;
    virtual ~gCDictionary() {
        // The elements are plain values or pointers that the owner frees.
        if (this->m_pData) {
            gCMemory::Free(this->m_pData);
        }
        this->m_pData = nullptr;
        this->m_nSize = 0;
        this->m_nCapacity = 0;
    }

    virtual void SetCompareCallback(CompareProc compare, void* user) {
        m_pCompare = compare;
        m_pUser = user;
    }

    void SetAllowDuplicates(int32_t allow) { m_fAllowDuplicates = allow; }
    int32_t GetAllowDuplicates() const { return m_fAllowDuplicates; }

    int32_t GetIndexOfElement(const T& key) const {
        const int32_t n = this->m_nSize;
        if (n == 0 || !m_pCompare) {
            return -1;
        }
        const T* e = this->m_pData;
        if (n == 1) {
            return Compare(key, e[0]) == 0 ? 0 : -1;
        }
        const int32_t c0 = Compare(key, e[0]);
        if (c0 == 0) {
            return 0;
        }
        const int32_t cN = Compare(key, e[n - 1]);
        if (cN == 0) {
            return n - 1;
        }
        if (c0 > 0 || cN < 0) {
            return -1;
        }
        uint32_t lo = 0, hi = uint32_t(n - 1), mid = uint32_t(n) / 2;
        for (;;) {
            const int32_t r = Compare(key, e[mid]);
            if (r == 0) {
                return int32_t(mid);
            }
            if (r < 0) {
                if (mid + 1 == hi) {
                    return -1;
                }
                lo = mid;
                mid = mid + (hi - mid) / 2;
            } else {
                if (mid - 1 == lo) {
                    return -1;
                }
                hi = mid;
                mid = lo + (mid - lo) / 2;
            }
        }
    }

    // 0 on success, 28 for a key already present (unless duplicates are
    // allowed), 5 when the array cannot grow, 6 without a compare callback.
    error AddKey(const T& key) {
        if (!m_pCompare) {
            gShowAlert("Message", "gCDictionary::AddKey() called without a valid key return "
                                  "function set");
            return eBadParameter;
        }
        const int32_t n = this->m_nSize;
        if (n == 0) {
            return AppendKey(key);
        }
        const T* e = this->m_pData;
        if (n == 1) {
            const int32_t r = Compare(key, e[0]);
            if (r < 0) {
                return AppendKey(key);
            }
            if (r > 0) {
                return this->InsertAt(0, key);
            }
            return m_fAllowDuplicates ? AppendKey(key) : eDuplicateKey;
        }
        const int32_t c0 = Compare(key, e[0]);
        if (c0 > 0) {
            return this->InsertAt(0, key);
        }
        if (c0 == 0) {
            return m_fAllowDuplicates ? this->InsertAt(0, key) : eDuplicateKey;
        }
        const int32_t cN = Compare(key, e[n - 1]);
        if (cN < 0) {
            return AppendKey(key);
        }
        if (cN == 0) {
            return m_fAllowDuplicates ? AppendKey(key) : eDuplicateKey;
        }
        uint32_t lo = 0, hi = uint32_t(n - 1), mid = uint32_t(n) / 2;
        for (;;) {
            const int32_t r = Compare(key, e[mid]);
            if (r < 0) {
                if (mid + 1 == hi) {
                    return this->InsertAt(int32_t(hi), key);
                }
                lo = mid;
                mid = mid + (hi - mid) / 2;
            } else if (r > 0) {
                hi = mid;
                if (mid - 1 == lo) {
                    return this->InsertAt(int32_t(hi), key);
                }
                mid = lo + (mid - lo) / 2;
            } else {
                hi = mid;
                return m_fAllowDuplicates ? this->InsertAt(int32_t(hi), key) : eDuplicateKey;
            }
        }
    }

    // Removes an element equal to key (not destroying it); the capacity
    // stays. 30 when no such element exists.
    virtual error RemoveElement(const T& key) {
        const int32_t index = GetIndexOfElement(key);
        if (index < 0) {
            return eKeyNotFound;
        }
        T* e = this->m_pData;
        std::memmove(static_cast<void*>(e + index), static_cast<const void*>(e + index + 1),
                     size_t(this->m_nSize - index - 1) * sizeof(T));
        --this->m_nSize;
        return eNoError;
    }

private:
    int32_t Compare(const T& a, const T& b) const { return m_pCompare(a, b, m_pUser); }

    error AppendKey(const T& key) {
        error e = this->SetSize(this->m_nSize + 1, -1);
        if (e != eNoError) {
            return e;
        }
        this->m_pData[this->m_nSize - 1] = key;
        return eNoError;
    }

    CompareProc m_pCompare = nullptr;
    void* m_pUser = nullptr;
    int32_t m_fAllowDuplicates = 0;
};
