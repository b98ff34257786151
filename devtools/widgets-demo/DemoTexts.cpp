#include "devtools/widgets-demo/DemoTexts.h"

#include <memory>
#include <new>

#include "foundation/gCString.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "text/TxImWidget.h"
#include "text/TxWidget.h"
#include "widgets/Widget.h"

using namespace demotexts;

namespace {

// The backdrop's widget of that name, or null.
CWidget* Find(CWidget& backdrop, const char16_t* name) {
    gCString units;
    return units.CopyString(name) == eNoError ? backdrop.FindByName(units) : nullptr;
}

// The flat image under the caption.
std::unique_ptr<CImage> FlatImage() {
    std::unique_ptr<CImage> image(new (std::nothrow) CImage);
    if (!image || image->Create(kImageWidth, kImageHeight) != eNoError) {
        return nullptr;
    }
    CImNav(image.get()).Fill(kImageColour);
    return image;
}

error MakeCaptionedImage(CWidget& panel) {
    std::unique_ptr<CTxImWidget> widget(new (std::nothrow) CTxImWidget);
    std::unique_ptr<CImage> image = FlatImage();
    if (!widget || !image) {
        return eOutOfMemory;
    }
    error e = widget->SetImage(image.get(), 1, 0);
    if (widget->Image() == image.get()) {
        (void)image.release(); // the widget holds it now
    }
    gCString font;
    gCString caption;
    if (e || (e = font.CopyString(u"DejaVu Sans")) || (e = caption.CopyString(u"Captioned")) ||
        (e = widget->SetFontName(font, 0, 0)) || (e = widget->SetFontPixelHeight(13, 0, 0)) ||
        (e = widget->SetTextColour(CPixel(kInk), 0)) || (e = widget->SetText(caption, 1, 0)) ||
        (e = widget->SetPosition(kImageLeft, kImageTop, 0)) || (e = widget->SetVisibility(1, 0)) ||
        (e = panel.AddChild(widget.get(), 0))) {
        return e;
    }
    (void)widget.release(); // the panel owns it now
    return eNoError;
}

} // namespace

error AttachDemoTexts(CWidget& backdrop) {
    auto* turned = dynamic_cast<CTxWidget*>(Find(backdrop, u"DemoTurned"));
    CWidget* panel = Find(backdrop, u"DemoTexts");
    if (!turned || !panel) {
        return eResourceNotFound;
    }
    // Reads bottom to top; the label takes the turned text's size.
    if (error e = turned->SetOrientation(CTxWidget::eTurnedLeft, 1, 0)) {
        return e;
    }
    return MakeCaptionedImage(*panel);
}
