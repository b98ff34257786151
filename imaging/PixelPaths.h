#pragma once
// The instruction-set paths of the optimised pixel loops. Every loop that
// has a vector form also has a plain one, and every path gives the same
// pixels to the bit; the path only changes the speed. The loops ask for the
// active path when a call starts and take the best form they have at or
// below it (a loop without an AVX2 form runs its SSE2 form on eAvx2).
//
// SSE2 is part of every x86-64 processor; AVX2 is looked for at run time.
// A build with DAUBLIN_NO_SIMD compiles the plain loops alone, as does a
// build for a processor without SSE2.

#include <cstdint>

class CPixelPaths {
public:
    enum EPath : int32_t { ePlain = 0, eSse2 = 1, eAvx2 = 2 };
    static constexpr int32_t kPathCount = 3;

    // Whether this build and this processor can run the path; ePlain
    // always is.
    static bool IsPresent(EPath path);
    // The best path present, found once.
    static EPath Best();
    // The path the loops take now: the forced one while a CForcePixelPath
    // lives, otherwise Best(). Safe to ask from any thread.
    static EPath Active();
    // "plain", "sse2" or "avx2".
    static const char* Name(EPath path);
};

// For tests and benchmarks that compare the paths: while it lives every
// optimised loop takes the given path; afterwards the previous choice comes
// back. A path that is not present is not forced (IsForced() is then false
// and the loops keep their path). Make and destroy it on one thread, with no
// pixel call running on another.
class CForcePixelPath {
public:
    explicit CForcePixelPath(CPixelPaths::EPath path);
    ~CForcePixelPath();
    CForcePixelPath(const CForcePixelPath&) = delete;
    CForcePixelPath& operator=(const CForcePixelPath&) = delete;

    bool IsForced() const { return m_fForced; }

private:
    int32_t m_nPrevious;
    bool m_fForced;
};
