// 'audi' blocks: Int32 n, then the n bytes of a WAV file in the canonical
// form (see WavFile.h).
//
//   - kind: sound
//     id: 90000
//     name: click
//     file: click.wav       # 8- or 16-bit PCM, relative to the YAML file

#include "FileIO/ResourceTags.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/kinds/ByteBlockKind.h"
#include "devtools/rc/kinds/WavFile.h"

namespace {

class CSoundKind final : public CByteBlockKind {
public:
    CSoundKind() : CByteBlockKind(true) {}
    const char* Name() const override { return "sound"; }
    uint32_t Tag() const override { return kResSoundTag; }
    std::vector<const char*> Keys() const override { return {"file"}; }

    // The sound is refused here, as it is made canonical: the program has
    // no sound loader to run on it later.
    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        std::string bytes, canonical, why;
        if (!source.FileBytes(entry, bytes)) {
            return false;
        }
        if (!NormaliseWav(bytes, canonical, why)) {
            source.Error(entry["file"], "unusable sound: " + why);
            return false;
        }
        SetBytes(block, std::move(canonical));
        return true;
    }
};

} // namespace

const CBlockKind& SoundKind() {
    static const CSoundKind kind;
    return kind;
}
