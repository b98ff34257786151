#pragma once
// Converts a playback's source frames (mono or stereo, at the sound's rate)
// to an output format (any channel count, rate and SDL sample format),
// frame by frame, keeping its place between calls: each output frame lies
// between two source frames, linearly interpolated; at equal rates the
// source frames come through unchanged. It allocates nothing once made.

#include <cstdint>

struct SAudioFormat;

// Where the converter takes its source frames from.
class CFrameSource {
public:
    // The next source frame, one float per source channel in [-1, 1);
    // false when none is at hand.
    virtual bool PullFrame(float* frame) = 0;
    // No frame will come any more.
    virtual bool SourceEnded() const = 0;

protected:
    ~CFrameSource() = default;
};

class CSampleConverter {
public:
    // Source channels 1 or 2, a source rate above 0, and an output format
    // that CanWrite.
    CSampleConverter(int32_t sourceChannels, int32_t sourceRate, const SAudioFormat& output);

    // Whether the output format is one the converter writes: 8-, 16- or
    // 32-bit integers, signed or not, or 32-bit floats, either byte order,
    // 1 to 8 channels, a rate above 0.
    static bool CanWrite(const SAudioFormat& output);

    // Up to `frames` output frames into out: the frames made. Fewer when
    // the source has no frame at hand (the next call goes on from there),
    // or when it ended and its last frame was made; `done` is then set.
    int32_t Convert(CFrameSource& source, unsigned char* out, int32_t frames, bool& done);

private:
    void Store(float left, float right, unsigned char* out) const;

    int32_t m_nSourceChannels;
    uint16_t m_nFormat;
    int32_t m_nChannels;
    int32_t m_nSampleBytes;
    // Source frames per output frame, and how far the output stands past
    // the previous source frame (2 before the first two are taken).
    double m_rStep;
    double m_rPhase = 2.0;
    float m_aPrevious[2] = {0.0f, 0.0f};
    float m_aNext[2] = {0.0f, 0.0f};
    int32_t m_nTaken = 0;
    bool m_fTailGiven = false;
};

// One sample in an SDL sample format, rounded and clamped to its range.
void StoreSample(float value, uint16_t format, unsigned char* out);
