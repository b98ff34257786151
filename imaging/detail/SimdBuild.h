#pragma once
// Which vector paths this build compiles. SSE2 wherever the compiler
// targets it (every x86-64 build); nothing with DAUBLIN_NO_SIMD, which
// leaves the plain loops alone. AVX2 code is never enabled for the whole
// build: a kernel that has it compiles it per function with a target
// attribute and runs it only where CPixelPaths finds the processor has it.

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#define DAUBLIN_HAVE_SSE2 1
#else
#define DAUBLIN_HAVE_SSE2 0
#endif

#if DAUBLIN_HAVE_SSE2 && (defined(__x86_64__) || defined(__i386__))
#define DAUBLIN_HAVE_AVX2 1
#else
#define DAUBLIN_HAVE_AVX2 0
#endif
