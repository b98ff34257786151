#pragma once
// The toolkit's growable array. Elements live in one block from the memory
// hooks and are moved with raw memory moves, never through copy operations,
// so element types must not point into themselves.
//
// Growth: the first allocation is exact; later growth adds a step beyond the
// old size (or beyond the new size when that is larger). The step is the
// stored grow-by, or with automatic growth (-1) a quarter of the old size
// clamped to 8..2048. Capacity shrinks only when the size drops to 0.

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

#include "foundation/Error.h"
#include "foundation/gCMemory.h"

// How an element type's new slots are made and removed ones unmade. Plain
// types are zeroed, types with constructors default-constructed; removed
// elements have their destructor run when they have one. A value is copied
// into a slot with Assign: 0, or 5 when the copy cannot be made; a type
// whose copy allocates specialises it, so that no copy is lost unreported.
template <typename T> struct gCArrayElement {
    static error Assign(T& to, const T& from) {
        to = from;
        return eNoError;
    }
    static void Construct(T* p, int32_t n) {
        if (n <= 0) {
            return;
        }
        if constexpr (std::is_trivially_default_constructible_v<T>) {
            std::memset(static_cast<void*>(p), 0, size_t(n) * sizeof(T));
        } else {
            for (int32_t i = 0; i < n; ++i) {
                new (static_cast<void*>(p + i)) T();
            }
        }
    }
    static void Destroy(T* p, int32_t n) {
        if constexpr (!std::is_trivially_destructible_v<T>) {
            for (int32_t i = 0; i < n; ++i) {
                p[i].~T();
            }
        } else {
            (void)p;
            (void)n;
        }
    }
};

template <typename T> class gCArray {
public:
    gCArray() = default;
    ~gCArray() { RemoveAll(); }

    gCArray(const gCArray&) = delete;
    gCArray& operator=(const gCArray&) = delete;
    gCArray(gCArray&& other) noexcept
        : m_pData(other.m_pData), m_nSize(other.m_nSize), m_nCapacity(other.m_nCapacity),
          m_nGrowBy(other.m_nGrowBy) {
        other.m_pData = nullptr;
        other.m_nSize = 0;
        other.m_nCapacity = 0;
    }
    gCArray& operator=(gCArray&& other) noexcept {
        if (this != &other) {
            RemoveAll();
            m_pData = other.m_pData;
            m_nSize = other.m_nSize;
            m_nCapacity = other.m_nCapacity;
            m_nGrowBy = other.m_nGrowBy;
            other.m_pData = nullptr;
            other.m_nSize = 0;
            other.m_nCapacity = 0;
        }
        return *this;
    }

    int32_t GetSize() const { return m_nSize; }
    int32_t GetCapacity() const { return m_nCapacity; }
    int32_t GetGrowBy() const { return m_nGrowBy; }
    T* GetData() { return m_pData; }
    const T* GetData() const { return m_pData; }

    T& operator[](int32_t i) { return m_pData[i]; }
    const T& operator[](int32_t i) const { return m_pData[i]; }

    T* begin() { return m_pData; }
    T* end() { return m_pData + m_nSize; }
    const T* begin() const { return m_pData; }
    const T* end() const { return m_pData + m_nSize; }

    // 0, 5 when the array cannot grow, or 6 for a negative size (never
    // taken as a count, so a damaged count cannot reach memory).
    error SetSize(int32_t newSize, int32_t growBy = -1) {
        if (newSize < 0) {
            return eBadParameter;
        }
        if (growBy >= 0) {
            m_nGrowBy = growBy;
        }
        if (newSize == m_nSize) {
            return eNoError;
        }
        if (newSize == 0) {
            RemoveAll();
            return eNoError;
        }
        if (!m_pData) {
            if (!FitsBytes(newSize)) {
                return eOutOfMemory;
            }
            T* p = static_cast<T*>(gCMemory::Alloc(size_t(newSize) * sizeof(T)));
            if (!p) {
                return eOutOfMemory;
            }
            m_pData = p;
            gCArrayElement<T>::Construct(m_pData, newSize);
            m_nSize = m_nCapacity = newSize;
            return eNoError;
        }
        if (newSize > m_nCapacity) {
            int32_t step = m_nGrowBy;
            if (step < 0) {
                step = m_nSize >> 2;
                if (step < 8) {
                    step = 8;
                } else if (step > 2048) {
                    step = 2048;
                }
            }
            int64_t capacity = int64_t(m_nSize) + step;
            if (capacity < newSize) {
                capacity = int64_t(newSize) + step;
            }
            if (capacity > std::numeric_limits<int32_t>::max() || !FitsBytes(capacity)) {
                return eOutOfMemory;
            }
            T* p = static_cast<T*>(gCMemory::Realloc(m_pData, size_t(capacity) * sizeof(T)));
            if (!p) {
                return eOutOfMemory;
            }
            m_pData = p;
            m_nCapacity = int32_t(capacity);
            gCArrayElement<T>::Construct(m_pData + m_nSize, newSize - m_nSize);
        } else if (newSize > m_nSize) {
            gCArrayElement<T>::Construct(m_pData + m_nSize, newSize - m_nSize);
        } else {
            gCArrayElement<T>::Destroy(m_pData + newSize, m_nSize - newSize);
        }
        m_nSize = newSize;
        return eNoError;
    }

    // 0, 5 when the array cannot grow, or 6 for a negative index.
    error InsertAt(int32_t index, const T& value) {
        if (index < 0) {
            return eBadParameter;
        }
        if (&value >= m_pData && &value < m_pData + m_nSize) {
            // The value lives in this array and may move when it grows.
            T copy;
            const error e = gCArrayElement<T>::Assign(copy, value);
            return e != eNoError ? e : InsertAt(index, copy);
        }
        const int32_t oldSize = m_nSize;
        if (index < m_nSize) {
            error e = SetSize(oldSize + 1, -1);
            if (e != eNoError) {
                return e;
            }
            // The new last slot was constructed by SetSize; unmake it before
            // the raw move writes over it.
            gCArrayElement<T>::Destroy(m_pData + oldSize, 1);
            std::memmove(static_cast<void*>(m_pData + index + 1),
                         static_cast<const void*>(m_pData + index),
                         size_t(oldSize - index) * sizeof(T));
            gCArrayElement<T>::Construct(m_pData + index, 1);
            if ((e = gCArrayElement<T>::Assign(m_pData[index], value)) != eNoError) {
                RemoveAt(index); // the array as it was
            }
            return e;
        }
        error e = SetSize(index + 1, -1);
        if (e == eNoError && (e = gCArrayElement<T>::Assign(m_pData[index], value)) != eNoError) {
            // Shrinking back never allocates: the array as it was.
            (void)SetSize(oldSize, -1);
        }
        return e;
    }

    // Appends one element at the end.
    error Add(const T& value) { return InsertAt(m_nSize, value); }

    // Append and Copy take every element or nothing: 5 leaves the array
    // as it was.
    error Append(const gCArray& other) {
        if (this == &other) {
            gCArray copy;
            const error e = copy.Copy(other);
            return e != eNoError ? e : Append(copy);
        }
        const int32_t oldSize = m_nSize;
        const int32_t count = other.m_nSize;
        error e = SetSize(oldSize + count, -1);
        for (int32_t i = 0; e == eNoError && i < count; ++i) {
            e = gCArrayElement<T>::Assign(m_pData[oldSize + i], other.m_pData[i]);
        }
        if (e != eNoError && m_nSize != oldSize) {
            (void)SetSize(oldSize, -1); // shrinking back never allocates
        }
        return e;
    }

    error Copy(const gCArray& other) {
        if (this == &other) {
            return eNoError;
        }
        if constexpr (std::is_trivially_copyable_v<T>) {
            // Copying plain values cannot fail once the room is there.
            const error e = SetSize(other.m_nSize, -1);
            if (e == eNoError && m_nSize > 0) {
                std::memcpy(static_cast<void*>(m_pData), static_cast<const void*>(other.m_pData),
                            size_t(m_nSize) * sizeof(T));
            }
            return e;
        }
        // Elements whose copy may fail are copied into an array of their
        // own, which replaces this one only when every copy was made.
        gCArray copy;
        copy.m_nGrowBy = m_nGrowBy;
        error e = copy.SetSize(other.m_nSize, -1);
        for (int32_t i = 0; e == eNoError && i < other.m_nSize; ++i) {
            e = gCArrayElement<T>::Assign(copy.m_pData[i], other.m_pData[i]);
        }
        if (e == eNoError) {
            *this = std::move(copy);
        }
        return e;
    }

    // Removes the element at index, moving the tail down; the capacity stays.
    void RemoveAt(int32_t index) {
        if (index < 0 || index >= m_nSize) {
            return;
        }
        DestroyElement(m_pData + index, 1);
        std::memmove(static_cast<void*>(m_pData + index),
                     static_cast<const void*>(m_pData + index + 1),
                     size_t(m_nSize - index - 1) * sizeof(T));
        --m_nSize;
    }

    void RemoveAll() {
        if (m_pData) {
            gCArrayElement<T>::Destroy(m_pData, m_nSize);
            gCMemory::Free(m_pData);
        }
        m_pData = nullptr;
        m_nSize = 0;
        m_nCapacity = 0;
    }

    static void DestroyElement(T* first, int32_t n) { gCArrayElement<T>::Destroy(first, n); }

protected:
    static bool FitsBytes(int64_t count) {
        return count >= 0 && uint64_t(count) <= std::numeric_limits<size_t>::max() / sizeof(T);
    }

    T* m_pData = nullptr;
    int32_t m_nSize = 0;
    int32_t m_nCapacity = 0;
    int32_t m_nGrowBy = -1;
};
