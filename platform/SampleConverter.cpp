#include "platform/detail/SampleConverter.h"

#include <bit>
#include <cstring>

#include "foundation/Rounding.h"
#include "platform/PlaybackInstance.h"

namespace {

// The bits of an SDL audio format code.
constexpr uint16_t kBitSize = 0xFF;
constexpr uint16_t kFloat = 1 << 8;
constexpr uint16_t kBigEndian = 1 << 12;
constexpr uint16_t kSigned = 1 << 15;

void PutBytes(uint64_t value, int32_t bytes, bool bigEndian, unsigned char* out) {
    for (int32_t i = 0; i < bytes; ++i) {
        const int32_t shift = 8 * (bigEndian ? bytes - 1 - i : i);
        out[i] = uint8_t(value >> shift);
    }
}

} // namespace

void StoreSample(float value, uint16_t format, unsigned char* out) {
    const int32_t bits = format & kBitSize;
    const bool bigEndian = (format & kBigEndian) != 0;
    if (format & kFloat) {
        PutBytes(std::bit_cast<uint32_t>(value), 4, bigEndian, out);
        return;
    }
    const double full = double(int64_t(1) << (bits - 1));
    double scaled = double(value) * full;
    scaled = scaled < -full ? -full : (scaled > full - 1.0 ? full - 1.0 : scaled);
    int64_t v = int64_t(RoundHalfAway(scaled));
    if (!(format & kSigned)) {
        v += int64_t(1) << (bits - 1);
    }
    PutBytes(uint64_t(v), bits / 8, bigEndian, out);
}

CSampleConverter::CSampleConverter(int32_t sourceChannels, int32_t sourceRate,
                                   const SAudioFormat& output)
    : m_nSourceChannels(sourceChannels == 2 ? 2 : 1), m_nFormat(output.format),
      m_nChannels(output.channels), m_nSampleBytes(output.SampleBytes()),
      m_rStep(double(sourceRate) / double(output.rate)) {}

bool CSampleConverter::CanWrite(const SAudioFormat& output) {
    const int32_t bits = output.format & kBitSize;
    const bool isFloat = (output.format & kFloat) != 0;
    const bool sizeKnown = isFloat ? bits == 32 : (bits == 8 || bits == 16 || bits == 32);
    return sizeKnown && output.channels >= 1 && output.channels <= 8 && output.rate > 0;
}

void CSampleConverter::Store(float left, float right, unsigned char* out) const {
    if (m_nChannels == 1) {
        StoreSample(m_nSourceChannels == 2 ? (left + right) * 0.5f : left, m_nFormat, out);
        return;
    }
    StoreSample(left, m_nFormat, out);
    StoreSample(right, m_nFormat, out + m_nSampleBytes);
    for (int32_t c = 2; c < m_nChannels; ++c) {
        StoreSample(0.0f, m_nFormat, out + c * m_nSampleBytes);
    }
}

int32_t CSampleConverter::Convert(CFrameSource& source, unsigned char* out, int32_t frames,
                                  bool& done) {
    done = false;
    const int32_t frameBytes = m_nSampleBytes * m_nChannels;
    int32_t made = 0;
    while (made < frames) {
        while (m_rPhase >= 1.0) {
            float frame[2] = {0.0f, 0.0f};
            if (source.PullFrame(frame)) {
                if (m_nSourceChannels == 1) {
                    frame[1] = frame[0];
                }
                std::memcpy(m_aPrevious, m_aNext, sizeof m_aPrevious);
                std::memcpy(m_aNext, frame, sizeof m_aNext);
                ++m_nTaken;
                m_rPhase -= 1.0;
            } else if (!source.SourceEnded()) {
                return made; // more comes later
            } else if (!m_fTailGiven && m_nTaken > 0) {
                // The last frame has no successor: it is held once.
                m_fTailGiven = true;
                std::memcpy(m_aPrevious, m_aNext, sizeof m_aPrevious);
                m_rPhase -= 1.0;
            } else {
                done = true;
                return made;
            }
        }
        const float t = float(m_rPhase);
        const float left = m_aPrevious[0] + (m_aNext[0] - m_aPrevious[0]) * t;
        const float right = m_aPrevious[1] + (m_aNext[1] - m_aPrevious[1]) * t;
        Store(left, right, out + made * frameBytes);
        m_rPhase += m_rStep;
        ++made;
    }
    return made;
}
