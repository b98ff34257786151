#pragma once
// A canvas to paint strokes on in tests: a registered backbone with its real
// canvas and lit renderer, and a project of the given size whose paper grain
// is made by a formula (value noise), so redrawn paper art never moves a
// golden. The canvas shows in a widget of a recording root, as undo needs.
// Around it, what stroke tests share: layer copies, painted patches,
// a synthetic stroke run through a tool inside one undo record, the undo
// that must restore every layer, the check of what each kind of tool may
// write, and the five CRCs and three pictures of a golden.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "imaging/Image.h"
#include "paint/Backbone.h"
#include "paint/PaintTool.h"
#include "paint/ToolBase.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/paint/StrokeRecipes.h"
#include "testsupport/widgets/RecordingRoot.h"

class CCanvas;
class gCFile;
class gCResourceIndex;

using CLayerWords = std::vector<uint32_t>;
using CLayerSet = std::array<CLayerWords, 4>;

// What a kind of tool may change, layer by layer.
enum class EToolWrites {
    eWetPaint,  // oil paint, palette knife
    eDryColour, // chalk, crayon, pens
    eEraser,
    ePencil,
    eNothing,    // airbrush, watercolour
    eColourOnly, // the second engine's oil brush: L0 alone
};

class CStrokeCanvas {
public:
    // The grain of pixel (x, y): the value noise over cells of 8 pixels,
    // shifted by the seed, in 0..255.
    static uint32_t TestGrain(uint32_t seed, int32_t x, int32_t y);

    // A w x h project (paper colour 0xFFFFFFFA) with the test grain in L1's
    // high half and its copy in L3's low half; no paint, no marks. Check
    // IsReady() before use.
    CStrokeCanvas(int32_t w, int32_t h, uint32_t grainSeed = 1);
    ~CStrokeCanvas();
    CStrokeCanvas(const CStrokeCanvas&) = delete;
    CStrokeCanvas& operator=(const CStrokeCanvas&) = delete;

    bool IsReady() const { return m_pCanvas != nullptr; }
    // Lays paper texture 0..3 of the resource file over the formula grain,
    // as the interface's paper choice does, and relights the composite: for
    // the tests about the built papers themselves.
    error LayPaper(uint32_t texture, gCFile& resources, gCResourceIndex& index);
    CCanvas& Canvas() { return *m_pCanvas; }
    CSMKBackbone& Backbone() { return m_Backbone; }
    int32_t Width() const { return m_nWidth; }
    int32_t Height() const { return m_nHeight; }

    // Layer i (0..3) as words, rows top to bottom; Pixel(i, x, y) one word.
    uint32_t* Layer(int32_t i);
    uint32_t& Pixel(int32_t i, int32_t x, int32_t y) {
        return Layer(i)[size_t(y) * size_t(m_nWidth) + size_t(x)];
    }
    CLayerWords Copy(int32_t i);
    CLayerSet CopyAll();
    // Puts copies of all four layers back.
    void SetAll(const CLayerSet& layers);

    // The backbone's paint colour, set through the data channel as the
    // interface sets it (the current tool hears it too).
    void SetColour(uint32_t argb);
    // Wet paint over r (clipped): L0 := colour, L1's low half := depth, L2 :=
    // depth x 65537. The grain is kept.
    void PaintPatch(const gCRect& r, uint32_t colour, uint32_t depth);
    // Vertical stripes of width `band` over the whole canvas, cycling through
    // the colours, all at the depth.
    void PaintStripes(int32_t band, const std::vector<uint32_t>& colours, uint32_t depth);

    // The stroke through the tool: ToolDown with the first sample, ToolMove
    // with every later one, ToolUp with the last (a one-sample stroke is
    // pressed and released there), all inside one undo record, without a
    // widget. The first non-zero result, after the record is closed.
    error Run(CPaintTool& tool, const CStroke& stroke);
    // The same through a brush of the second engine.
    error Run(CToolBase& engine, const CStroke& stroke);
    // The backbone's undo; its result.
    int32_t Undo();

    // Runs the stroke and checks, against the layers before it, what the kind
    // of tool may have written; then undoes and checks that every layer is
    // back bit for bit. The layers end as they were; afterStroke, when
    // given, gets them as the stroke left them.
    ::testing::AssertionResult StrokeKeepsRules(CPaintTool& tool, const CStroke& stroke,
                                                EToolWrites kind, CLayerSet* afterStroke = nullptr);
    // The same for a brush of the second engine, which writes L0 alone.
    ::testing::AssertionResult StrokeKeepsRules(CToolBase& engine, const CStroke& stroke,
                                                CLayerSet* afterStroke = nullptr);

    // The composite relit whole with the renderer's default settings.
    CImage& Relit();
    // The five goldens of a stroke case: "<name>" the relit composite,
    // "<name>-L0".."<name>-L3" the raw layers (their CRCs), with the
    // pictures written for a reviewer: the composite, L0 over white
    // ("<name>-colour") and L1's paint depth in grey ("<name>-depth").
    // Passes when every CRC matches the table's rows of that name.
    ::testing::AssertionResult MatchesStrokeGoldens(const std::string& name,
                                                    const std::vector<struct SGoldenCrc>& table,
                                                    const std::string& outputFolder);

    // The relit composite "<name>.png", L0 over white "<name>-colour.png"
    // and the paint depth in grey "<name>-depth.png" in the folder; false
    // when one cannot be written.
    bool WriteStrokePictures(const std::string& name, const std::string& outputFolder);
    // L0 over white and L1's paint depth in grey, for a reviewer.
    void ReviewPictures(CImage& colour, CImage& depth);

private:
    enum class EStrokeCall { eDown, eMove, eUp };
    error RunStroke(const CStroke& stroke,
                    const std::function<error(EStrokeCall, CTabletPoint&)>& call);
    ::testing::AssertionResult KeepsRules(const std::function<error()>& run, EToolWrites kind,
                                          CLayerSet* afterStroke);
    void CopyLayer(int32_t i, CImage& image);

    CFakeAppServices m_App;
    CRecordingModule m_UI;
    // The canvas widget an undo shows its work through (the backbone undoes
    // only with one).
    CRecordingRoot m_Root;
    CSMKBackbone m_Backbone;
    CCanvas* m_pCanvas = nullptr;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    std::unique_ptr<CImage> m_pRelit;
};

// A golden's table and pictures, as EXPECT_GOLDEN_CRCS names its output.
#if defined(DAUBLIN_GOLDEN_OUTPUT)
#define EXPECT_STROKE_GOLDENS(canvas, name, table)                                                 \
    EXPECT_TRUE((canvas).MatchesStrokeGoldens((name), (table), DAUBLIN_GOLDEN_OUTPUT))
#endif
