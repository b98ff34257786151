#pragma once
// A scrolling list of rows and columns: each cell holds a line of text or
// an image; rows can be selected (one or several), the row under the
// pointer can be highlighted, column edges can fade out, text and images
// can cast a soft shadow, rows can be sorted by a column and the mouse
// wheel scrolls. The owner learns of changes and clicks through messages
// sent to its one message target.
//
// Cells are drawn once into a view-sized cache, the overlay, and drawn
// again only when a cell, a row, a column, an attribute or the scroll
// position changes; a repaint lays the row backgrounds and composites the
// overlay over them.
//
// Row and column indices outside the table are refused with 6 (getters
// answer null, 0 or -1); the arithmetic of RowTop, RowAtYPos and
// IsRowVisible works for any row. Row and cell ids carry pointer-sized
// values (an owner may keep widgets in them).
//
// A table is built in code; its resource block ('tbwg') is loaded only
// through its own CreateFromRes, never through the widget constructor.

#include <cstdint>

#include "FileIO/FileTypes.h"
#include "foundation/gCArray.h"
#include "foundation/gCCmdTarget.h"
#include "imaging/Image.h"
#include "imaging/Pixel.h"
#include "text/TextRenderer.h"
#include "widgets/CoWidget.h"

inline constexpr uint32_t kTableWidgetTypeID = FourCC("tbwg");

class CTableWidget : public CCoWidget {
public:
    // The rollover row when the pointer is over no row.
    static constexpr int32_t kNoRollover = -1000000;

    // One row: its id, its selection and per column a cell (a NUL-terminated
    // UTF-16 text allocated through the memory hooks for a text column, a
    // CImage* for an image column, null when empty), a text colour and an
    // id. The three per-cell arrays always have one entry per column.
    class CRowData {
    public:
        CRowData() = default;
        CRowData(const CRowData&) = delete;
        CRowData& operator=(const CRowData&) = delete;

        // columns empty cells, ids 0 and colours 0xFF000000.
        error InitRow(int32_t columns);
        // One more empty cell at the end; 5 leaves the row as it was.
        error AddColumn();
        // One more empty cell at index (0..count); 5 or 6 leave the row as it
        // was.
        error InsertColumn(int32_t index);
        // Drops the cell and removes entry index; 6 outside the row.
        error DeleteColumn(int32_t index, int32_t isImage);
        // Frees the text or drops the image (deleted unless pooled) and
        // empties the cell.
        void DropCell(int32_t index, int32_t isImage);

        uintptr_t m_nID = 0;
        int32_t m_fSelected = 0;
        gCArray<void*> m_aCells;
        gCArray<CPixel> m_aCellColours;
        gCArray<uintptr_t> m_aCellIDs;
    };

    struct CColumnInfo {
        int32_t m_nWidth = 0;
        CTextRenderer::EJustify m_eJustify = CTextRenderer::eJustifyLeft;
        int32_t m_fImage = 0;
        int32_t m_nLeft = 0; // content x of the left edge
        int32_t m_nFadeLeft = 0;
        int32_t m_nFadeRight = 0;
    };

    using CompareFunc = int32_t (*)(const void* a, const void* b, uintptr_t user);

    // One text column spanning the view, no rows, the renderers at
    // "Helvetica" 12 points in black, odd rows white; the wheel is taken.
    CTableWidget();
    // Tells nobody: the target is cleared before the rows go.
    ~CTableWidget() override;

    uint32_t TypeID() const override { return kTableWidgetTypeID; }

    // --- Colours and attributes.
    virtual error SetAltRowColour(CPixel colour, int32_t redraw);
    virtual CPixel GetAltRowColour() const { return m_AltRowColour; }
    virtual error SetSelectBackColour(CPixel colour, int32_t redraw);
    virtual CPixel GetSelectBackColour() const { return m_SelectBackColour; }
    virtual int32_t WheelScrollLines() const { return m_nWheelScrollLines; }
    virtual void SetWheelScrollLines(int32_t lines) { m_nWheelScrollLines = lines; }
    virtual error SetTextAttributes(const CTextRenderer& attributes, int32_t redraw);
    virtual void GetTextAttributes(CTextRenderer& attributes) const;
    virtual error SetSelectedTextAttributes(const CTextRenderer& attributes, int32_t redraw);
    virtual void GetSelectedTextAttributes(CTextRenderer& attributes) const;
    virtual error SetUseImageShadow(int32_t on, int32_t redraw);
    virtual int32_t UseImageShadow() const { return m_fUseImageShadow; }
    virtual error SetUseTextShadow(int32_t on, int32_t redraw);
    virtual int32_t UseTextShadow() const { return m_fUseTextShadow; }
    virtual error SetShadowOffset(const gCPoint& offset, int32_t redraw);
    virtual gCPoint ShadowOffset() const { return m_ShadowOffset; }
    virtual error SetShadowColour(CPixel colour, int32_t redraw);
    virtual CPixel ShadowColour() const { return m_ShadowColour; }
    virtual error SetShadowOpacity(int32_t opacity, int32_t redraw);
    virtual int32_t ShadowOpacity() const { return m_nShadowOpacity; }
    virtual error SetShadowRadius(float radius, int32_t redraw);
    virtual float ShadowRadius() const { return m_rShadowRadius; }

    // --- Rows.
    // Below 1 the height is refused with 6 (positions are divided by it).
    // Keeps the row at the top at the top where the content allows.
    virtual error SetRowHeight(int32_t height, int32_t redraw);
    virtual int32_t GetRowHeight() const { return m_nRowHeight; }
    virtual int32_t GetRowCount() const { return m_aRows.GetSize(); }
    virtual error AddRow(int32_t redraw);
    // index 0..count.
    virtual error InsertRow(int32_t index, int32_t redraw);
    // A removal that leaves every row in view keeps the scroll position.
    virtual error RemoveRow(int32_t index, int32_t redraw);
    virtual error Clear(int32_t redraw);
    virtual int32_t IsRowVisible(int32_t row);
    virtual error EnsureRowVisible(int32_t row, int32_t redraw);
    // View y of the row's top; the y's row (which may be past the last).
    virtual int32_t RowTop(int32_t row);
    virtual int32_t RowAtYPos(int32_t y);
    // Stored and reported only.
    virtual error SetRowTopBufferHeight(int32_t height, int32_t redraw);
    virtual error SetRowBottomBufferHeight(int32_t height, int32_t redraw);
    virtual int32_t RowTopBufferHeight() const { return m_nRowTopBuffer; }
    virtual int32_t RowBottomBufferHeight() const { return m_nRowBottomBuffer; }
    virtual error SetRowID(int32_t row, uintptr_t id);
    virtual uintptr_t GetRowID(int32_t row) const;
    // The first row with the id, or -1.
    virtual int32_t FindRowByID(uintptr_t id) const;

    // --- Cells. An empty text is stored as one NUL; a never-set cell is
    // null. A cell image belongs to the table unless a pool holds it.
    virtual error SetCellText(int32_t row, int32_t column, const gCString& text, int32_t redraw);
    virtual const char16_t* GetCellText(int32_t row, int32_t column) const;
    virtual error SetCellImage(int32_t row, int32_t column, CImage* image, int32_t redraw);
    virtual CImage* GetCellImage(int32_t row, int32_t column) const;
    virtual CRowData* Row(int32_t row) const;
    virtual error RebuildRow(int32_t row, int32_t redraw);
    virtual error RebuildCell(int32_t row, int32_t column, int32_t redraw);

    // --- Columns. With exactly one column GetColumnWidth answers the view
    // width; that column's render images follow the view while its stored
    // width is 0.
    virtual int32_t GetColumnCount() const { return m_aColumns.GetSize(); }
    // textColumn 0 makes an image column.
    virtual error AddColumn(int32_t width, int32_t textColumn, int32_t redraw);
    virtual error SetColumnWidth(int32_t column, int32_t width, int32_t redraw);
    virtual int32_t GetColumnWidth(int32_t column) const;
    virtual error SetColumnIsImage(int32_t column, int32_t isImage, int32_t redraw);
    virtual int32_t GetColumnIsImage(int32_t column) const;
    virtual error SetColumnFadeLeft(int32_t column, int32_t pixels, int32_t redraw);
    virtual error SetColumnFadeRight(int32_t column, int32_t pixels, int32_t redraw);
    virtual int32_t ColumnFadeLeft(int32_t column) const;
    virtual int32_t ColumnFadeRight(int32_t column) const;
    // The column under view x, or -1; a zero-width column is never hit.
    virtual int32_t ColumnAtXPos(int32_t x);
    // View x of the column's left edge.
    virtual int32_t ColumnLeft(int32_t column) const;
    virtual error SetJustification(int32_t column, CTextRenderer::EJustify justify, int32_t redraw);
    virtual CTextRenderer::EJustify Justification(int32_t column) const;
    // Below 1 stores 0.
    virtual error SetColumnEdgeBufferWidth(int32_t pixels, int32_t redraw);
    virtual int32_t ColumnEdgeBufferWidth() const { return m_nEdgeBuffer; }
    virtual error SetColumnID(int32_t row, int32_t column, uintptr_t id);
    virtual uintptr_t GetColumnID(int32_t row, int32_t column) const;

    // --- Scrolling. Content height is row count x row height; the scroll
    // position lies in 0 .. max(0, content height - view height).
    virtual error VScroll(int32_t trackLength, int32_t gripLength, const gCPoint& gripPosition,
                          int32_t redraw);
    virtual error VScroll(float fraction, int32_t redraw);
    virtual error VScrollToPixelLocation(int32_t y, int32_t redraw);
    virtual error VScrollUpOnePixel(int32_t redraw);
    virtual error VScrollDownOnePixel(int32_t redraw);
    virtual error VScrollUpOneLine(int32_t redraw);
    virtual error VScrollDownOneLine(int32_t redraw);
    virtual error VScrollUpOnePage(int32_t redraw);
    virtual error VScrollDownOnePage(int32_t redraw);
    // Always shown at once.
    virtual error VScrollToTop(int32_t redraw);
    virtual error VScrollToBottom(int32_t redraw);
    virtual int32_t CalcGripHeight(int32_t trackLength);
    virtual int32_t CalcGripYPos(int32_t trackLength, int32_t gripLength);
    int32_t VScrollPosition() const { return m_nVScroll; }

    // --- Selection.
    virtual error SelectRow(int32_t row, int32_t redraw);
    virtual error SelectSingleRow(int32_t row, int32_t redraw);
    virtual error UnselectRow(int32_t row, int32_t redraw);
    virtual error SelectAllRows(int32_t select, int32_t redraw);
    virtual int32_t GetSelectedRowCount() const;
    // The first selected row at or after from, or -1.
    virtual int32_t GetSelectedRow(int32_t from) const;
    virtual void SetAutoSelectRow(int32_t on) { m_fAutoSelectRow = on; }
    virtual int32_t GetAutoSelectRow() const { return m_fAutoSelectRow; }
    virtual error SetMultiSelect(int32_t on, int32_t redraw);
    virtual int32_t GetMultiSelect() const { return m_fMultiSelect; }
    virtual int32_t AutoRollover() const { return m_fAutoRollover; }
    virtual void SetAutoRollover(int32_t on, int32_t redraw);
    virtual CPixel RolloverColour() const { return m_RolloverColour; }
    virtual void SetRolloverColour(CPixel colour, int32_t redraw);
    int32_t RolloverRow() const { return m_nRolloverRow; }

    // --- Sorting by a column: an image column by its cells' references,
    // else numerically or by text (A..Z folded to lower case).
    virtual error Sort(int32_t column, int32_t numeric, int32_t ascending, int32_t redraw);
    virtual error Sort(int32_t column, CompareFunc compare, uintptr_t user, int32_t ascending,
                       int32_t redraw);
    static int32_t CompareProc(const void* a, const void* b, uintptr_t table);
    static int32_t CompareNumericProc(const void* a, const void* b, uintptr_t table);
    static int32_t CompareStringProc(const void* a, const void* b, uintptr_t table);
    int32_t SortColumn() const { return m_nSortColumn; }
    int32_t SortAscending() const { return m_fSortAscending; }

    // --- The owner. A non-zero answer of the target is an error that the
    // sending operation returns.
    virtual error SendMessage(uint32_t message, uintptr_t argument);
    gCCmdTarget* m_pMessageTarget = nullptr;

    // --- Rendering.
    virtual void KillRow(CRowData* row);
    // Renders every cell meeting the view rectangle into the overlay.
    virtual error InvalidateOverlay(const gCRect& rect);
    virtual void DiscardRenderImages();
    virtual error CreateRenderImages();
    // One cell into the overlay, limited to clip (the view when null).
    virtual error RenderCell(int32_t row, int32_t column, const gCRect* clip);
    // Moves the overlay's band top..top+height by dy and fills or renders
    // what it uncovered.
    virtual error ContentScroll(int32_t top, int32_t height, int32_t dy, int32_t rerender,
                                int32_t redraw);
    // The column's text image and its shadow into the overlay over cellRect
    // (made relative to the cell).
    virtual error DoShadow(int32_t column, gCRect& cellRect, int32_t columnLeft, int32_t rowTop);

    // --- What the toolkit calls.
    error Heartbeat() override;
    error ButtonDownL(CWidget*& taker, gCPoint& point) override;
    error MouseWheel(CWidget*& taker, int32_t delta, gCPoint& point) override;
    error RenderArea(const gCRect& area, CImage* target, uint32_t alpha) override;
    error SizeChanged() override;

    // The cache and the per-column scratch images, for inspection.
    CImage& Overlay() { return m_Overlay; }
    CImage* TextImage(int32_t column) const;
    CImage* CellImage(int32_t column) const;
    // The renderer of unselected (0) or selected rows as the last cell left
    // it (copies leave out its gamma choice).
    const CTextRenderer& Renderer(int32_t selected) const {
        return selected ? m_SelectedTextAttributes : m_TextAttributes;
    }

    // Loading: 'colr' and the shadow, cut-out and gradient effect chunks
    // here, every other code CWidget's.
    static CTableWidget* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CTableWidget* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    error SetFromResData(gCFile* file) override;
    error ParseResData(int32_t code, gCMemFile* data, CWidgetDataHolder* holder);

private:
    int32_t ViewWidth() const { return Width(); }
    int32_t ViewHeight() const { return Height(); }
    gCRect ViewRect() const { return gCRect(0, 0, ViewWidth(), ViewHeight()); }
    int32_t ContentHeight() const;
    bool ValidRow(int32_t row) const { return row >= 0 && row < m_aRows.GetSize(); }
    bool ValidColumn(int32_t column) const { return column >= 0 && column < m_aColumns.GetSize(); }
    // The width the column's render images are made for.
    int32_t RenderWidth(int32_t column) const;
    // The whole view rendered again, then InvalidateClient.
    error RerenderAll(int32_t redraw);
    // Lefts from column first on.
    void RelayColumns(int32_t first);
    // The strip of a row in the view, clipped to it.
    gCRect RowStrip(int32_t row);
    // The fades of the column on the text image.
    void ApplyFades(int32_t column, CImage& textImage);
    // The cell's text or image into its column's text image; whether it
    // casts a shadow.
    error RenderCellContent(int32_t row, int32_t column, int32_t& shadow);
    // After a shadow setting: the view rendered again while shadows are in
    // use, else only the redraw.
    error StoreShadowSetting(int32_t redraw);

    int32_t m_nRowHeight = 16;
    gCArray<CColumnInfo> m_aColumns;
    gCArray<CRowData*> m_aRows; // owned
    int32_t m_nEdgeBuffer = 8;
    CPixel m_AltRowColour = 0xFFFFFFFFu;
    CPixel m_SelectBackColour = 0xA0FFFFFFu;
    CTextRenderer m_TextAttributes;
    CTextRenderer m_SelectedTextAttributes;
    CImage m_Overlay;
    gCArray<CImage*> m_aTextImages; // owned
    gCArray<CImage*> m_aCellImages; // owned
    int32_t m_nVScroll = 0;
    int32_t m_nHScroll = 0;
    int32_t m_fUseImageShadow = 1;
    int32_t m_fUseTextShadow = 1;
    int32_t m_nShadowOpacity = 255;
    gCPoint m_ShadowOffset{1, 1};
    CPixel m_ShadowColour = 0x80000000u;
    float m_rShadowRadius = 1.5f;
    int32_t m_fAutoSelectRow = 1;
    int32_t m_fMultiSelect = 1;
    int32_t m_nSortColumn = 0;
    int32_t m_fSortAscending = 1;
    int32_t m_fAutoRollover = 0;
    int32_t m_nRolloverRow = kNoRollover;
    CPixel m_RolloverColour = 0x83FFFFFFu;
    int32_t m_nRowTopBuffer = 0;
    int32_t m_nRowBottomBuffer = 0;
    int32_t m_nWheelScrollLines = 4;
};
