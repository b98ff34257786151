#pragma once
// libpng's I/O over a toolkit stream, and its memory through the toolkit's
// hooks. The libpng I/O pointer is the gCStream. A short read or a refused
// write is a libpng error, so it ends the call with 15 rather than leaving
// stale bytes or a cut file behind.

#include <png.h>

void g_PNGIO_VantorReadData(png_structp png, png_bytep data, size_t length);
void g_PNGIO_VantorWriteData(png_structp png, png_bytep data, size_t length);
void g_PNGIO_VantorFlushData(png_structp png);

// Allocations for libpng through the toolkit's hooks, refusing any single
// block beyond what a chunk may need (libpng then fails with an error), so a
// hostile chunk length never reserves gigabytes.
png_voidp g_PNGIO_Malloc(png_structp png, png_alloc_size_t size);
void g_PNGIO_Free(png_structp png, png_voidp p);
inline constexpr png_alloc_size_t kPngLargestBlock = png_alloc_size_t(64) << 20;
