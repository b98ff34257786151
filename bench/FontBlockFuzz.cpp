// libFuzzer target for the font blocks of the resource file: the input's
// first byte picks a font block of the built system.vrf, the rest replaces
// what follows its resource header, and the block behind the version block
// is opened as the application's font file. The font is loaded through the font manager,
// then text is measured, broken and drawn with it. Built only with clang;
// see the README.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "bench/FuzzSupport.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "text/Font.h"
#include "text/TextRenderer.h"
#include "text/TextTags.h"

namespace {

const std::vector<fuzz::SResBlock>& FontBlocks() {
    static const std::vector<fuzz::SResBlock> blocks =
        fuzz::BlocksTagged(fuzz::BuiltResourceFile(), {kResFontTag});
    return blocks;
}

constexpr char16_t kSample[] = u"Wet paint, AV To. fi\u00E9\u0416\u4E2D \u2014 1234567890\r"
                               u"A second line that wraps within the width.";

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::UseHeadlessDrivers();
    (void)gCFont::InitializeManager();
    CTextRenderer::BuildGammaLUT(1.0f);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || FontBlocks().empty()) {
        return 0;
    }
    const fuzz::SResBlock& block = FontBlocks()[data[0] % FontBlocks().size()];
    const fuzz::Bytes& built = fuzz::BuiltResourceFile();
    // The version block and the font block, as a file of their own.
    const fuzz::Bytes alone = fuzz::VersionAnd(built, block);
    const fuzz::SResBlock inAlone = fuzz::ResBlocks(alone).back();
    if (!fuzz::WriteWholeFile(fuzz::ScratchPosix("fonts.vrf"),
                              fuzz::Spliced(alone, inAlone, data + 1, size - 1))) {
        return 0;
    }
    CFakeResourceServices services;
    gCFile file;
    gCResourceIndex index;
    gCFRef ref(fuzz::ScratchColon("fonts.vrf"));
    if (file.Open(&ref, eAccessReadOnly) != eNoError || index.SetupIndex(&file) != eNoError) {
        return 0;
    }
    services.m_pFontFile = &file;
    services.m_pFontIndex = &index;
    {
        // Straight from the block, and through the manager's look-up (which
        // falls back to an installed face when the block does not load).
        gCFont font;
        if (font.GetFromRes(fuzz::BlockName(built, block), nullptr, nullptr) == eNoError &&
            font.SetFontPixelHeight(7 + data[0] % 40, 1.0f) == eNoError) {
            int32_t kerning = 0;
            (void)font.GetCustomKerning('A', 'V', kerning);
        }
        CTextRenderer renderer;
        renderer.m_sFontName = fuzz::BlockName(built, block);
        renderer.m_nPixelHeight = 7 + data[0] % 40;
        renderer.m_fWordWrap = 1;
        renderer.m_fBold = data[0] & 1;
        std::vector<int32_t> positions(std::char_traits<char16_t>::length(kSample) + 1);
        (void)renderer.CharPositions(kSample, positions.data());
        (void)renderer.CalcTextWidth(kSample);
        (void)renderer.CalcTextHeight(kSample, 90);
        (void)renderer.CalcBreakCharPos(kSample, 90);
        gCString text;
        if (text.CopyString(kSample) == eNoError) {
            CImage colour(96, 48);
            CImage8 coverage(96, 48);
            (void)renderer.RenderText(text, &colour, 0);
            (void)renderer.RenderText(text, &coverage, 0);
        }
    }
    for (CResourcePool& pool : services.m_aResourcePools) {
        pool.Empty();
    }
    return 0;
}
