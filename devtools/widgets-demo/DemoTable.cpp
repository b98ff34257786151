#include "devtools/widgets-demo/DemoTable.h"

#include <cstdio>
#include <memory>
#include <new>

#include "foundation/MessageIds.h"
#include "foundation/gCCmdTarget.h"
#include "imaging/ImNav.h"
#include "text/TableWidget.h"
#include "widgets/Backdrop.h"
#include "widgets/CoWidget.h"

namespace {

// Prints the row of every click on a cell.
class CClickPrinter : public gCCmdTarget {
public:
    int32_t Message(uint32_t id, void*, uintptr_t extra) override {
        if (id == eMsgTableClickData) {
            const auto* cell = reinterpret_cast<const int32_t*>(extra);
            std::printf("click row %d\n", int(cell[1]));
            std::fflush(stdout);
        }
        return 0;
    }
};

// Outlives the window and its table.
CClickPrinter g_ClickPrinter;

struct SSwatch {
    const char16_t* name;
    uint32_t colour;
};
constexpr SSwatch kSwatches[] = {
    {u"Crimson", 0xFFDC143Cu},     {u"Vermilion", 0xFFE34234u}, {u"Orange", 0xFFFF8C00u},
    {u"Gold", 0xFFFFD700u},        {u"Lemon", 0xFFFFF44Fu},     {u"Olive", 0xFF808000u},
    {u"Sap green", 0xFF507D2Au},   {u"Teal", 0xFF008080u},      {u"Cerulean", 0xFF2A52BEu},
    {u"Ultramarine", 0xFF3F00FFu}, {u"Violet", 0xFF8F00FFu},    {u"Burnt umber", 0xFF8A3324u},
};

template <class W>
error Place(CWidget& parent, W* widget, int32_t x, int32_t y, int32_t w, int32_t h) {
    std::unique_ptr<W> owned(widget);
    if (!owned) {
        return eOutOfMemory;
    }
    error e = eNoError;
    if ((e = owned->SetPosition(x, y, 0)) || (e = owned->SetSize(w, h, 0)) ||
        (e = owned->SetVisibility(1, 0)) || (e = parent.AddChild(owned.get(), 0))) {
        return e;
    }
    (void)owned.release(); // the parent owns it now
    return eNoError;
}

error Fill(CTableWidget& table) {
    CTextRenderer renderer;
    table.GetTextAttributes(renderer);
    if (error e = renderer.m_sFontName.CopyString(u"DejaVu Sans")) {
        return e;
    }
    renderer.m_nColour = 0xFFF0F0F0u;
    error e = eNoError;
    if ((e = table.SetTextAttributes(renderer, 0)) ||
        (e = table.SetSelectedTextAttributes(renderer, 0)) || (e = table.SetRowHeight(20, 0)) ||
        (e = table.SetColumnWidth(0, 40, 0)) || (e = table.SetColumnIsImage(0, 1, 0)) ||
        (e = table.SetJustification(0, CTextRenderer::eJustifyCentre, 0)) ||
        (e = table.AddColumn(280, 1, 0)) || (e = table.SetClientColour(0x20FFFFFFu, 0)) ||
        (e = table.SetAltRowColour(0x00FFFFFFu, 0))) {
        return e;
    }
    for (int32_t i = 0; i < int32_t(std::size(kSwatches)); ++i) {
        gCString name;
        if ((e = table.AddRow(0)) || (e = name.CopyString(kSwatches[i].name))) {
            return e;
        }
        table.Row(i)->m_aCellColours[1] = 0xFFF0F0F0u;
        auto* swatch = new (std::nothrow) CImage;
        if (!swatch || (e = swatch->Create(14, 14))) {
            delete swatch;
            return e ? e : eOutOfMemory;
        }
        CImNav(swatch).Fill(kSwatches[i].colour);
        if ((e = table.SetCellImage(i, 0, swatch, 0)) || (e = table.SetCellText(i, 1, name, 0))) {
            return e;
        }
    }
    table.SetAutoRollover(1, 0);
    table.m_pMessageTarget = &g_ClickPrinter;
    return eNoError;
}

} // namespace

error AttachDemoTable(CBackdrop& root) {
    if (error e = Place(root, new (std::nothrow) CCoWidget, 880, 320, 320, 240)) {
        return e;
    }
    auto* panel = static_cast<CCoWidget*>(root.Child(0));
    if (error e = panel->SetClientColour(0xFF303840u, 0)) {
        return e;
    }
    auto* table = new (std::nothrow) CTableWidget;
    if (!table) {
        return eOutOfMemory;
    }
    if (error e = Place(*panel, table, 0, 0, 320, 240)) {
        return e;
    }
    if (error e = Fill(*table)) {
        return e;
    }
    // Clicks, and the heartbeat that follows the pointer.
    table->EnableEvent(CWidget::eLButtonEvent | CWidget::eHeartbeatEvent, 1);
    root.SetWidgetRolloverEnabled(1);
    return eNoError;
}
