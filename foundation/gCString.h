#pragma once
// The toolkit string: UTF-16 code units in a heap buffer from the memory
// hooks, with its capacity and its length in units.
//
// A string that is all zero bytes is the empty string, so arrays may zero
// new slots and move strings with raw memory moves. When a buffer exists it
// always holds a NUL unit at index length. The capacity counts units, NUL
// included, grows to the smallest multiple of 16 above the need and never
// shrinks while the buffer lives.
//
// Units are compared as raw 16-bit values: no case folding, no
// normalisation, no surrogate handling. "The other string's text" means its
// units up to its first NUL. Operations that allocate answer 0 or 5
// (eOutOfMemory); on 5 the string keeps its previous value. Copies made by
// construction or assignment cannot answer: a copy constructed without
// memory is empty and an assignment without memory leaves the previous
// value, so code that must know copies with CopyString.
//
// 8-bit text is read as Mac Roman and written (Ascii) as ISO Latin-1. Text
// that leaves the program goes through the UTF-8 converter (Utf8.h) instead.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCArray.h"

class gCString {
public:
    gCString() = default;
    ~gCString() { (void)Destroy(); } // freeing cannot fail

    gCString(const gCString& other);
    gCString& operator=(const gCString& other);
    gCString(gCString&& other) noexcept;
    gCString& operator=(gCString&& other) noexcept;

    // The units (null while nothing is allocated), the length in units and
    // the capacity in units.
    const char16_t* GetBuffer() const { return m_pBuffer; }
    int32_t GetLength() const { return m_nLength; }
    int32_t GetCapacity() const { return m_nCapacity; }

    // Setting the text. Destroy frees the buffer, leaving the empty string;
    // it always answers 0.
    error Destroy();
    error CopyString(const char16_t* text);
    error CopyStringFromBuffer(const char16_t* units, int32_t n);
    error CopyString(const char* macRoman);
    error CopyStringFromBuffer(const char* macRoman, int32_t n);
    // printf conversions on a UTF-16 format; %s takes UTF-8 text. 1 when the
    // formatting fails, the text then unchanged.
    error Format(const char16_t* format, ...);

    // Appending and inserting.
    error AppendString(const gCString& other);
    error AppendString(const char16_t* text);
    error Insert(uint32_t unit, int32_t position);
    error Insert(const gCString& other, int32_t position);

    // Cutting, in place; the Get... forms work on a copy (empty when the
    // copy cannot be allocated).
    void Mid(int32_t start, int32_t count);
    void Right(int32_t n);
    void SubString(int32_t first, int32_t last);
    gCString GetSubString(int32_t first, int32_t last) const;
    int32_t RemoveChar(int32_t position, int32_t count);
    gCString GetRemoveChar(int32_t position, int32_t count) const;
    void Reverse();
    gCString GetReverse() const;
    void PureAlpha();
    gCString GetPureAlpha() const;
    void PureAlphaNumeric();
    gCString GetPureAlphaNumeric() const;
    int32_t Replace(uint32_t from, uint32_t to);
    int32_t Replace(const gCString& from, const gCString& to);

    // Trimming: leading and trailing runs of one unit, or of the units of
    // a set.
    void Trim(uint32_t unit);
    void TrimLeft(uint32_t unit);
    void TrimRight(uint32_t unit);
    void Trim(const gCString& set);
    void TrimLeft(const gCString& set);
    void TrimRight(const gCString& set);
    gCString GetTrim(uint32_t unit) const;
    gCString GetTrimLeft(uint32_t unit) const;
    gCString GetTrimRight(uint32_t unit) const;
    gCString GetTrim(const gCString& set) const;
    gCString GetTrimLeft(const gCString& set) const;
    gCString GetTrimRight(const gCString& set) const;

    // Searching: an index from the start of the string, or -1.
    int32_t Find(uint32_t unit) const;
    int32_t Find(const gCString& pattern) const;
    int32_t FindFrom(int32_t start, const gCString& pattern) const;
    int32_t FindFromEnd(const gCString& pattern) const;
    int32_t FindOneOf(const gCString& set) const;
    int32_t FindOneOfFromEnd(const gCString& set) const;

    // Splitting at the first separator: 0 split, 1 this string empty or the
    // separator at index 0 (left and right untouched), 2 no separator (left
    // the whole text, right empty).
    int32_t SplitString(gCString& left, gCString& right, const gCString& separator,
                        int32_t dropLast) const;
    // Appends the pieces between separators to the array (not clearing it)
    // and returns the array's size; an empty string appends nothing and
    // returns 0. Without memory the pieces stop short or come empty; code
    // that must know splits the units itself.
    int32_t SplitString(gCArray<gCString>& pieces, uint32_t unit) const;
    int32_t SplitString(gCArray<gCString>& pieces, const gCString& separators) const;

    // Numbers and points.
    bool IsInteger() const;
    bool IsReal() const;
    int32_t Int32() const;
    int64_t Int64() const;
    gCPoint Point() const;
    gCRPoint RPoint() const;

    // The text as ISO Latin-1 in one shared 4,096-byte buffer, valid until
    // the next call anywhere: at most 4,095 units, ending early at the first
    // unit that Latin-1 cannot hold.
    const char* Ascii() const;

private:
    // Makes room for a text of length units plus its NUL.
    error Reserve(int32_t length);
    // Sets the text to n units (the source may lie in this buffer).
    error SetUnits(const char16_t* units, int32_t n);
    // Replaces count units at position by n units.
    error Splice(int32_t position, int32_t count, const char16_t* units, int32_t n);
    void SetLength(int32_t length);

    char16_t* m_pBuffer = nullptr;
    int32_t m_nCapacity = 0;
    int32_t m_nLength = 0;

    static char m_nAsciiBuffer[4096];
};

// A string copied into an array slot reports a copy it cannot allocate.
template <> inline error gCArrayElement<gCString>::Assign(gCString& to, const gCString& from) {
    return to.CopyString(from.GetBuffer());
}
