// 'audi' blocks: Int32 n, then the n bytes of a WAV file in the canonical
// form (see WavFile.h). A sound comes from a WAV file or is synthesised
// from parameters (see SoundSynth.h); either way its WAV is made canonical.
//
//   - kind: sound
//     id: 90000
//     name: click
//     file: click.wav       # 8- or 16-bit PCM, relative to the YAML file
//
//   - kind: sound
//     id: 90001
//     name: blip
//     synth: {length: 60, peak: -13, seed: 1, voices: [{wave: sine, from: 660, to: 660}]}

#include "FileIO/ResourceTags.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/kinds/ByteBlockKind.h"
#include "devtools/rc/kinds/SoundSynth.h"
#include "devtools/rc/kinds/WavFile.h"

namespace {

class CSoundKind final : public CByteBlockKind {
public:
    CSoundKind() : CByteBlockKind(true) {}
    const char* Name() const override { return "sound"; }
    uint32_t Tag() const override { return kResSoundTag; }
    std::vector<const char*> Keys() const override { return {"file", "synth"}; }

    // What the program cannot play is refused here, as the sound is made
    // canonical.
    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        std::string bytes, canonical, why;
        if (entry["file"] && entry["synth"]) {
            source.Error(entry, "a sound has a \"file\" or a \"synth\", not both");
            return false;
        }
        if (entry["synth"]) {
            SSynthSound synth;
            if (!ReadSynth(source, entry["synth"], synth)) {
                return false;
            }
            bytes = WavOfSamples(SynthesiseSamples(synth));
        } else if (!source.FileBytes(entry, bytes)) {
            return false;
        }
        if (!NormaliseWav(bytes, canonical, why)) {
            source.Error(entry["file"] ? entry["file"] : entry, "unusable sound: " + why);
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
