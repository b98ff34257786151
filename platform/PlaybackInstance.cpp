#include "platform/PlaybackInstance.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "FileIO/gCStream.h"
#include "foundation/Rounding.h"
#include "platform/Sound.h"
#include "platform/detail/SampleConverter.h"

namespace {

// Halves away from zero, in float as the buffer arithmetic is.
int64_t Nearest(float v) {
    return int64_t(RoundHalfAway(v));
}

// Interpolates one channel of two frames: weight 1 to 256 of 256 towards b,
// kept to the sample width.
void Interpolate(const char* a, const char* b, int32_t w, bool sixteenBit, unsigned char* out) {
    if (sixteenBit) {
        int16_t sa = 0, sb = 0;
        std::memcpy(&sa, a, 2);
        std::memcpy(&sb, b, 2);
        const int16_t v = int16_t(uint16_t(int32_t(sa) + (((int32_t(sb) - sa) * w) >> 8)));
        std::memcpy(out, &v, 2);
    } else {
        const int32_t ua = uint8_t(*a), ub = uint8_t(*b);
        *out = uint8_t(ua + (((ub - ua) * w) >> 8));
    }
}

} // namespace

class CPlatformAudioManager::CPlaybackInstance::CSource final : public CFrameSource {
public:
    explicit CSource(CPlaybackInstance& instance) : m_Instance(instance) {}
    bool PullFrame(float* frame) override { return m_Instance.PullFrame(frame); }
    bool SourceEnded() const override { return m_Instance.SourceEnded(); }

private:
    CPlaybackInstance& m_Instance;
};

CPlatformAudioManager::CPlaybackInstance::CPlaybackInstance(CSound* sound, int32_t loops,
                                                            CMusic::ENote note,
                                                            const SAudioFormat& output)
    : m_nID(++m_nInstanceIDGen), m_rPitch(CMusic::FrequencyMultiplier(note)), m_nLoops(loops),
      m_pSound(sound) {
    if (!sound || sound->Rate() <= 0 || !CSampleConverter::CanWrite(output)) {
        m_nID = -1;
        m_fFinished.store(1);
        return;
    }
    m_fFileBound = sound->SoundFile() ? 1 : 0;
    m_nFrameBytes = sound->BytesPerFrame();
    m_f16Bit = sound->Is16Bit();
    m_nSourceChannels = sound->IsStereo() ? 2 : 1;
    m_pConverter.reset(new (std::nothrow)
                           CSampleConverter(m_nSourceChannels, sound->Rate(), output));
    if (!m_pConverter) {
        m_nID = -1;
        m_fFinished.store(1);
        return;
    }
    Fill(0);
    if (m_rPosition < 1.0f) {
        Fill(1);
    }
}

CPlatformAudioManager::CPlaybackInstance::~CPlaybackInstance() {
    SetAborting();
}

int32_t CPlatformAudioManager::CPlaybackInstance::LoadBuffer(unsigned char* buffer) {
    CSoundLock lock(m_pSound);
    if (!m_pSound || !(m_rPosition < 1.0f)) {
        return 0;
    }
    const bool fromFile = m_pSound->SoundFile() != nullptr;
    const char* samples = lock.Samples();
    const int32_t B = m_pSound->BytesPerFrame();
    uint32_t size = m_pSound->DataSize();
    if (!fromFile) {
        // Never beyond the samples the block holds.
        if (!samples) {
            return 0;
        }
        size = std::min(size, m_pSound->SampleCapacity());
    }
    const int64_t frames = int64_t(size / uint32_t(B));
    const float F = float(frames - 2);
    const float p = m_rPitch;
    // Too few frames to play even one step at this pitch: nothing, also
    // when looping forever.
    if (!(F > 0.0f) || !(p > 0.0f) || !std::isfinite(p) || F < p / 2.0f) {
        return 0;
    }
    if (fromFile && p != 1.0f) {
        return 0; // no resampling from a file
    }
    const bool sixteenBit = m_pSound->Is16Bit() != 0;
    const int32_t channels = m_pSound->IsStereo() ? 2 : 1;
    const int32_t sampleBytes = sixteenBit ? 2 : 1;
    int32_t written = 0;
    int32_t empty = 0;
    while (m_nLoops != 0) {
        const int32_t room = (kBufferBytes - written) / B;
        if (room < 256) {
            break;
        }
        const float start = m_rPosition * F;
        const float end = std::min(F, start + float(room) * p);
        m_rPosition = std::min(1.0f, end / F);
        if (m_rPosition >= 1.0f) {
            if (m_nLoops >= 1) {
                if (--m_nLoops > 0) {
                    m_rPosition = 0.0f;
                }
            } else if (m_nLoops == -1) {
                m_rPosition = 0.0f;
            }
        }
        int64_t n = std::clamp<int64_t>(Nearest((end - start) / p), 0, room);
        unsigned char* out = buffer + written;
        if (p == 1.0f) {
            const int64_t first = std::clamp<int64_t>(Nearest(start), 0, frames);
            n = std::min(n, frames - first);
            if (fromFile) {
                if (!ReadFromFile(first, int32_t(n), out)) {
                    return 0;
                }
            } else if (n > 0) {
                std::memcpy(out, samples + first * B, size_t(n) * size_t(B));
            }
        } else {
            for (int64_t i = 0; i < n; ++i) {
                const int64_t x = Nearest((float(i) * p + start) * 256.0f);
                // Frame k and its successor, never beyond the last frame.
                const int64_t k = std::clamp<int64_t>(x >> 8, 0, frames - 2);
                const int32_t w = int32_t(x & 0xFF) + 1;
                const char* a = samples + k * B;
                for (int32_t c = 0; c < channels; ++c) {
                    Interpolate(a + c * sampleBytes, a + B + c * sampleBytes, w, sixteenBit,
                                out + i * B + c * sampleBytes);
                }
            }
        }
        written += int32_t(n) * B;
        // Two pieces in a row without a frame: nothing more will come.
        empty = n == 0 ? empty + 1 : 0;
        if (empty >= 2) {
            break;
        }
    }
    return written;
}

bool CPlatformAudioManager::CPlaybackInstance::ReadFromFile(int64_t frame, int32_t n,
                                                            unsigned char* out) {
    if (n <= 0) {
        return true;
    }
    // The stream is the event loop's: read at the samples' place and put
    // its position back, as if it had not moved.
    gCStream* stream = m_pSound->SoundFile();
    const int32_t B = m_pSound->BytesPerFrame();
    const int64_t kept = stream->GetFilePos();
    const bool read = stream->SetFilePos(m_pSound->DataOffset() + frame * B) == eNoError &&
                      stream->ReadBlock(out, n * B) == eNoError;
    const bool back = stream->SetFilePos(kept) == eNoError;
    if (!read || !back) {
        return false;
    }
    if (m_pSound->Is16Bit()) {
        for (int32_t i = 0; i + 1 < n * B; i += 2) {
            const int16_t v = int16_t(uint16_t(out[i] | (out[i + 1] << 8)));
            std::memcpy(out + i, &v, 2);
        }
    }
    return true;
}

void CPlatformAudioManager::CPlaybackInstance::Fill(int32_t which) {
    const int32_t bytes = m_fLoadEnded ? 0 : LoadBuffer(m_aBuffer[which]);
    m_aBytes[which] = bytes;
    if (bytes > 0) {
        m_aQueue[m_nQueued++] = which;
    } else {
        m_fLoadEnded = 1;
    }
}

void CPlatformAudioManager::CPlaybackInstance::Played(int32_t which) {
    if (m_fLoadEnded) {
        m_aBytes[which] = 0; // nothing more to load
    } else if (m_fFileBound) {
        m_aWaiting[m_nWaiting++] = which;
    } else {
        Fill(which);
    }
}

void CPlatformAudioManager::CPlaybackInstance::RefillFromFile() {
    for (int32_t i = 0; i < m_nWaiting; ++i) {
        Fill(m_aWaiting[i]);
    }
    m_nWaiting = 0;
}

bool CPlatformAudioManager::CPlaybackInstance::PullFrame(float* frame) {
    if (m_nQueued == 0) {
        return false;
    }
    const int32_t which = m_aQueue[0];
    const unsigned char* p = m_aBuffer[which] + m_nTaken;
    for (int32_t c = 0; c < m_nSourceChannels; ++c) {
        if (m_f16Bit) {
            int16_t v = 0;
            std::memcpy(&v, p + 2 * c, 2);
            frame[c] = float(v) / 32768.0f;
        } else {
            frame[c] = float(int32_t(p[c]) - 128) / 128.0f;
        }
    }
    m_nTaken += m_nFrameBytes;
    if (m_nTaken + m_nFrameBytes > m_aBytes[which]) {
        // Played to its end: the next buffer plays, this one is refilled.
        m_aQueue[0] = m_aQueue[1];
        --m_nQueued;
        m_nTaken = 0;
        Played(which);
    }
    return true;
}

bool CPlatformAudioManager::CPlaybackInstance::SourceEnded() const {
    return m_nQueued == 0 && m_nWaiting == 0 && m_fLoadEnded;
}

int32_t CPlatformAudioManager::CPlaybackInstance::Render(unsigned char* out, int32_t frames) {
    if (!m_pConverter || m_fFinished.load() || m_fAborting.load()) {
        return 0;
    }
    CSource source(*this);
    bool done = false;
    const int32_t made = m_pConverter->Convert(source, out, frames, done);
    if (done) {
        m_fFinished.store(1);
    }
    return made;
}
