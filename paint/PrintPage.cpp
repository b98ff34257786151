// The printed page: where the picture goes, and the page drawn as a PDF
// with cairo.

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/detail/PrintPage.h"

void (*g_pPrintPageHook)(cairo_t* cr) = nullptr;

namespace {

struct SSurfaceGone {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct SContextGone {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SSurfaceGone>;
using ContextPtr = std::unique_ptr<cairo_t, SContextGone>;

cairo_status_t AppendTo(void* closure, const unsigned char* data, unsigned int length) {
    try {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    } catch (const std::bad_alloc&) {
        return CAIRO_STATUS_NO_MEMORY;
    }
    return CAIRO_STATUS_SUCCESS;
}

// The image's words as cairo's RGB24 (the same 0x00RRGGBB words, the top
// byte unused).
SurfacePtr PictureOf(CImage& image) {
    CImNav view(&image);
    const int32_t width = view.GetWidth(), height = view.GetHeight();
    SurfacePtr picture(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(picture.get()) != CAIRO_STATUS_SUCCESS) {
        return picture;
    }
    cairo_surface_flush(picture.get());
    unsigned char* data = cairo_image_surface_get_data(picture.get());
    const int stride = cairo_image_surface_get_stride(picture.get());
    for (int32_t y = 0; y < height; ++y) {
        std::memcpy(data + ptrdiff_t(y) * stride, view.Row(y), size_t(width) * 4);
    }
    cairo_surface_mark_dirty(picture.get());
    return picture;
}

} // namespace

gCRect PrintImageRect(int32_t pw, int32_t ph, int32_t iw, int32_t ih) {
    if (pw <= 0 || ph <= 0 || iw <= 0 || ih <= 0) {
        return {};
    }
    const float s = std::min(float(pw) / float(iw), float(ph) / float(ih)) * 0.9f;
    const int32_t hx = pw / 2;
    const int32_t hy = ph / 2;
    // Truncated toward zero, as a float converts to an integer.
    const int32_t mx = int32_t(float(hx) - float(iw) * s * 0.5f);
    const int32_t my = int32_t(float(hy) - float(ih) * s * 0.5f);
    return {mx, my, pw - mx, ph - my};
}

error DrawPrintPage(const sPageSetup& setup, const std::string& title, CImage& image,
                    std::string& pdf, std::string& why) {
    pdf.clear();
    const SurfacePtr picture = PictureOf(image);
    cairo_status_t status = cairo_surface_status(picture.get());
    const int iw = cairo_image_surface_get_width(picture.get());
    const int ih = cairo_image_surface_get_height(picture.get());
    if (status == CAIRO_STATUS_SUCCESS && (iw <= 0 || ih <= 0)) {
        status = CAIRO_STATUS_INVALID_SIZE;
    }
    if (status == CAIRO_STATUS_SUCCESS) {
        const SurfacePtr page(
            cairo_pdf_surface_create_for_stream(AppendTo, &pdf, setup.Width(), setup.Height()));
        cairo_pdf_surface_set_metadata(page.get(), CAIRO_PDF_METADATA_TITLE, title.c_str());
        const ContextPtr cr(cairo_create(page.get()));

        // The printable area: the paper less the margin on every side.
        const int32_t pw = setup.Width() - 2 * kPrintMargin;
        const int32_t ph = setup.Height() - 2 * kPrintMargin;
        gCRect r = PrintImageRect(pw, ph, iw, ih);
        r.Offset(kPrintMargin, kPrintMargin);
        cairo_save(cr.get());
        cairo_translate(cr.get(), r.left, r.top);
        cairo_scale(cr.get(), double(r.Width()) / iw, double(r.Height()) / ih);
        cairo_set_source_surface(cr.get(), picture.get(), 0, 0);
        cairo_paint(cr.get());
        cairo_restore(cr.get());

        // The title centred on the half page, its baseline the font's
        // ascent and descent below the area's top.
        cairo_select_font_face(cr.get(), "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr.get(), 12.0);
        cairo_font_extents_t font;
        cairo_font_extents(cr.get(), &font);
        cairo_text_extents_t text;
        cairo_text_extents(cr.get(), title.c_str(), &text);
        const int32_t hx = pw / 2;
        cairo_set_source_rgb(cr.get(), 0.0, 0.0, 0.0);
        cairo_move_to(cr.get(), kPrintMargin + hx - text.x_advance / 2,
                      kPrintMargin + font.ascent + font.descent);
        cairo_show_text(cr.get(), title.c_str());

        if (g_pPrintPageHook) {
            g_pPrintPageHook(cr.get());
        }
        cairo_show_page(cr.get());
        status = cairo_status(cr.get());
        cairo_surface_finish(page.get());
        if (status == CAIRO_STATUS_SUCCESS) {
            status = cairo_surface_status(page.get());
        }
    }
    if (status != CAIRO_STATUS_SUCCESS) {
        why = cairo_status_to_string(status);
        pdf.clear();
        return eCreateFailed;
    }
    return eNoError;
}
