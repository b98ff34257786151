#pragma once
// What the PNG reader and writer share: libpng's structures with their
// memory through the toolkit's hooks, its I/O over a toolkit stream, and the
// table of row pointers into a locked image.
// The libpng I/O pointer is the gCStream. A short read or a refused
// write is a libpng error, so it ends the call with 15 rather than leaving
// stale bytes or a cut file behind.

#include <png.h>

#include "foundation/CMemBlock.h"

class CImNavBase;

void g_PNGIO_VantorReadData(png_structp png, png_bytep data, size_t length);
void g_PNGIO_VantorWriteData(png_structp png, png_bytep data, size_t length);
void g_PNGIO_VantorFlushData(png_structp png);

// Allocations for libpng through the toolkit's hooks, refusing any single
// block beyond what a chunk may need (libpng then fails with an error), so a
// hostile chunk length never reserves gigabytes.
png_voidp g_PNGIO_Malloc(png_structp png, png_alloc_size_t size);
void g_PNGIO_Free(png_structp png, png_voidp p);
inline constexpr png_alloc_size_t kPngLargestBlock = png_alloc_size_t(64) << 20;

// The read or write structure and its info structure, released together.
struct CPngStructs {
    explicit CPngStructs(bool write);
    ~CPngStructs();
    CPngStructs(const CPngStructs&) = delete;
    CPngStructs& operator=(const CPngStructs&) = delete;
    // Both structures exist.
    bool IsValid() const { return png && info; }

    png_structp png = nullptr;
    png_infop info = nullptr;
    bool fWrite;
};

// Points one entry per row of the view at that row, top row first; false
// when memory runs out.
bool g_PNGIO_RowTable(const CImNavBase& view, CMemBlockT<png_bytep>& rows);
