#include "imaging/detail/PngShared.h"

#include "FileIO/StreamBytes.h"
#include "foundation/gCMemory.h"
#include "imaging/ImNav.h"

void g_PNGIO_VantorReadData(png_structp png, png_bytep data, size_t length) {
    if (streambytes::ReadExact(*static_cast<gCStream*>(png_get_io_ptr(png)), data, length)) {
        png_error(png, "The PNG data ended early.");
    }
}

void g_PNGIO_VantorWriteData(png_structp png, png_bytep data, size_t length) {
    if (streambytes::Write(*static_cast<gCStream*>(png_get_io_ptr(png)), data, length)) {
        png_error(png, "The stream refused the PNG data.");
    }
}

void g_PNGIO_VantorFlushData(png_structp) {}

png_voidp g_PNGIO_Malloc(png_structp, png_alloc_size_t size) {
    return size > kPngLargestBlock ? nullptr : gCMemory::Alloc(size);
}

void g_PNGIO_Free(png_structp, png_voidp p) {
    if (p) {
        gCMemory::Free(p);
    }
}

CPngStructs::CPngStructs(bool write) : fWrite(write) {
    png = write ? png_create_write_struct_2(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr,
                                            nullptr, g_PNGIO_Malloc, g_PNGIO_Free)
                : png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr,
                                           nullptr, g_PNGIO_Malloc, g_PNGIO_Free);
    if (png) {
        info = png_create_info_struct(png);
    }
}

CPngStructs::~CPngStructs() {
    if (!png) {
        return;
    }
    if (fWrite) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
    } else {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
}

bool g_PNGIO_RowTable(const CImNavBase& view, CMemBlockT<png_bytep>& rows) {
    if (view.GetHeight() <= 0 || !rows.Resize(uint32_t(view.GetHeight()), 1)) {
        return false;
    }
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        rows.GetData()[y] =
            static_cast<png_bytep>(view.GetDataPtr()) + ptrdiff_t(y) * view.GetRowBytes();
    }
    return true;
}
