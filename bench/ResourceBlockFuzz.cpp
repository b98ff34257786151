// libFuzzer target for the widget and text-list blocks of the resource
// file: the input's first byte picks a block of the built system.vrf, the
// rest replaces what follows its resource header, and the spliced file is
// opened as the application's. A widget block is built through the widget
// constructor into a small backdrop, which is then composited; a text list
// is loaded and its items read. Built only with clang; see the README.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "bench/FuzzSupport.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "text/Font.h"
#include "text/TextRenderer.h"
#include "widgets/Backdrop.h"
#include "widgets/TextList.h"
#include "widgets/WidgetConstructor.h"

namespace {

constexpr int32_t kSide = 64;

const std::vector<fuzz::SResBlock>& Candidates() {
    static const std::vector<fuzz::SResBlock> blocks =
        fuzz::BlocksTagged(fuzz::WidgetBase(), fuzz::WidgetAndListTags());
    return blocks;
}

// The built file, open as the application's font file.
struct SFontFile {
    SFontFile() {
        std::u16string colon;
        gCString path;
        if (gCVolumeTable::PosixToColon(DAUBLIN_RESOURCE_DIR "/system.vrf", colon) == eNoError &&
            path.CopyString(colon.c_str()) == eNoError) {
            gCFRef ref(path);
            ready =
                file.Open(&ref, eAccessReadOnly) == eNoError && index.SetupIndex(&file) == eNoError;
        }
    }
    gCFile file;
    gCResourceIndex index;
    bool ready = false;
};

SFontFile& Fonts() {
    static SFontFile fonts;
    return fonts;
}

// The spliced file open as the application's resource file while it
// lives, with the built fonts; the pools emptied at the end.
class CSplicedResources {
public:
    explicit CSplicedResources(const fuzz::Bytes& bytes) {
        gCFRef ref(fuzz::ScratchColon("spliced.vrf"));
        m_fReady = fuzz::WriteWholeFile(fuzz::ScratchPosix("spliced.vrf"), bytes) &&
                   m_File.Open(&ref, eAccessReadOnly) == eNoError &&
                   m_Index.SetupIndex(&m_File) == eNoError;
        m_Services.m_pResFile = &m_File;
        m_Services.m_pResIndex = &m_Index;
        m_Services.m_pFontFile = &Fonts().file;
        m_Services.m_pFontIndex = &Fonts().index;
    }
    ~CSplicedResources() {
        for (CResourcePool& pool : m_Services.m_aResourcePools) {
            pool.Empty();
        }
        (void)m_File.Close();
    }
    bool Ready() const { return m_fReady; }

private:
    CFakeResourceServices m_Services;
    gCFile m_File;
    gCResourceIndex m_Index;
    bool m_fReady = false;
};

void BuildWidget(const gCString& name, uint32_t type) {
    auto backdrop = std::make_unique<CBackdrop>();
    if (backdrop->SetSize(kSide, kSide, 0) != eNoError || !backdrop->BackBuffer()) {
        return;
    }
    // The backdrop owns what it holds; any result is fine.
    (void)CWidgetConstructor::Construct(name, int32_t(type), backdrop.get(), nullptr);
    backdrop->CreationComplete();
    (void)backdrop->CompositeArea(gCRect(0, 0, kSide, kSide));
}

void ReadTextList(const gCString& name) {
    std::unique_ptr<CTextList> list(CTextList::CreateFromRes(name, nullptr, nullptr));
    if (!list) {
        return;
    }
    size_t units = 0;
    for (int32_t i = 0; i < list->Count(); ++i) {
        units += size_t(list->Text(i).GetLength()) + size_t(list->ID(i) & 1);
    }
    (void)units;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::UseHeadlessDrivers();
    (void)fuzz::WidgetAndListTags(); // registers the text widgets
    (void)gCFont::InitializeManager();
    (void)Fonts();
    CTextRenderer::BuildGammaLUT(1.0f);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || Candidates().empty()) {
        return 0;
    }
    const fuzz::SResBlock& block = Candidates()[data[0] % Candidates().size()];
    const fuzz::Bytes& built = fuzz::WidgetBase();
    const gCString name = fuzz::BlockName(built, block);
    CSplicedResources resources(fuzz::Spliced(built, block, data + 1, size - 1));
    if (!resources.Ready()) {
        return 0;
    }
    if (block.tag == kTextListTypeID) {
        ReadTextList(name);
    } else {
        BuildWidget(name, block.tag);
    }
    return 0;
}
