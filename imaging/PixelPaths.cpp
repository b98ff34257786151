#include "imaging/PixelPaths.h"

#include <atomic>

#include "imaging/detail/SimdBuild.h"

namespace {

// The forced path, or -1 for none.
std::atomic<int32_t> g_nForced{-1};

bool ProcessorHasAvx2() {
#if DAUBLIN_HAVE_AVX2
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
#else
    return false;
#endif
}

} // namespace

bool CPixelPaths::IsPresent(EPath path) {
    switch (path) {
    case ePlain:
        return true;
    case eSse2:
        return DAUBLIN_HAVE_SSE2 != 0;
    case eAvx2: {
        static const bool avx2 = ProcessorHasAvx2();
        return avx2;
    }
    }
    return false;
}

CPixelPaths::EPath CPixelPaths::Best() {
    static const EPath best = IsPresent(eAvx2) ? eAvx2 : IsPresent(eSse2) ? eSse2 : ePlain;
    return best;
}

CPixelPaths::EPath CPixelPaths::Active() {
    const int32_t forced = g_nForced.load(std::memory_order_relaxed);
    return forced >= 0 ? EPath(forced) : Best();
}

const char* CPixelPaths::Name(EPath path) {
    switch (path) {
    case ePlain:
        return "plain";
    case eSse2:
        return "sse2";
    case eAvx2:
        return "avx2";
    }
    return "unknown";
}

CForcePixelPath::CForcePixelPath(CPixelPaths::EPath path)
    : m_nPrevious(g_nForced.load()), m_fForced(CPixelPaths::IsPresent(path)) {
    if (m_fForced) {
        g_nForced.store(int32_t(path));
    }
}

CForcePixelPath::~CForcePixelPath() {
    if (m_fForced) {
        g_nForced.store(m_nPrevious);
    }
}
