// 'font' blocks: Int32 n, then the n bytes of one font file that FreeType
// opens (TrueType or OpenType, scalable). The block's name is the full name
// text renderers ask for ("DejaVu Sans Bold").
//
//   - kind: font
//     id: 1
//     name: DejaVu Sans
//     file: /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

#include "FileIO/gCFile.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/kinds/ByteBlockKind.h"
#include "text/Font.h"
#include "text/TextTags.h"

namespace {

// The font manager for one load, closed again when it was started here.
class CManagerForLoad {
public:
    CManagerForLoad() : m_fStarted(!gCFont::Manager()) { m_nResult = gCFont::InitializeManager(); }
    ~CManagerForLoad() {
        if (m_fStarted) {
            gCFont::ShutDownManager();
        }
    }
    CManagerForLoad(const CManagerForLoad&) = delete;
    CManagerForLoad& operator=(const CManagerForLoad&) = delete;
    error Result() const { return m_nResult; }

private:
    bool m_fStarted;
    error m_nResult = eNoError;
};

class CFontKind final : public CByteBlockKind {
public:
    CFontKind() : CByteBlockKind(true) {}
    const char* Name() const override { return "font"; }
    uint32_t Tag() const override { return kResFontTag; }
    std::vector<const char*> Keys() const override { return {"file"}; }

    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        std::string bytes;
        if (!source.FileBytes(entry, bytes)) {
            return false;
        }
        if (bytes.empty()) {
            source.Error(entry["file"], "the font file is empty");
            return false;
        }
        SetBytes(block, std::move(bytes));
        return true;
    }

    // The font's loader, with the manager the program starts first; its
    // face is opened from the block's bytes as the program opens it.
    error Load(const ResourceBlock& block, gCFile& file, gCResourceIndex& index,
               std::string& why) const override {
        const CManagerForLoad manager;
        if (manager.Result() != eNoError) {
            why = "FreeType cannot start";
            return manager.Result();
        }
        gCFont font;
        const error e = font.GetFromRes(block.id, &file, &index);
        if (e == eNoError && font.SetFontPixelHeight(13, 1.0f) != eNoError) {
            why = "the face cannot be set to a size";
            return eCreateFailed;
        }
        return e;
    }
};

} // namespace

const CBlockKind& FontKind() {
    static const CFontKind kind;
    return kind;
}
