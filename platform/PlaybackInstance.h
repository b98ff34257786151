#pragma once
// One playback of a sound. The instance streams the sound's samples through
// two alternating 16,384-byte buffers in the sound's own format, resampled
// to its note and looped; the device thread converts the queued buffers to
// the device's format and mixes them, and refills a buffer once it has been
// played. A sound bound to a file stream is refilled on the event loop
// instead (Idle), which owns the stream.
//
// The device thread touches an instance only under the device lock; its
// finished and aborting flags are atomic, for the event loop's questions.

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/Music.h"
#include "platform/PlatformAudioManager.h"

class CSampleConverter;

// An output format: an SDL audio format code (bits, signedness, float and
// byte order), the channel count and the frames per second.
struct SAudioFormat {
    uint16_t format = 0;
    int32_t channels = 0;
    int32_t rate = 0;

    // Bytes of one sample of one channel, and of one frame.
    int32_t SampleBytes() const { return (format & 0xFF) / 8; }
    int32_t FrameBytes() const { return SampleBytes() * channels; }
};

class CPlatformAudioManager::CPlaybackInstance {
public:
    static constexpr int32_t kBufferBytes = 16384;

    // Starts playing at once: fills buffer 0, and buffer 1 when the sound
    // goes on beyond it. A start that fails (no sound, a rate of 0, no
    // memory for the converter, an output format it cannot write) leaves
    // the id -1 and the instance finished.
    CPlaybackInstance(CSound* sound, int32_t loops, CMusic::ENote note, const SAudioFormat& output);
    ~CPlaybackInstance();
    CPlaybackInstance(const CPlaybackInstance&) = delete;
    CPlaybackInstance& operator=(const CPlaybackInstance&) = delete;

    // Writes as many frames of the sound, from the position on, as the
    // buffer holds (16,384 bytes), in the sound's format, at the pitch and
    // through the loops; the bytes written. A sound bound to a file plays
    // at pitch 1 only.
    int32_t LoadBuffer(unsigned char* buffer);

    // Up to `frames` frames in the output format: the frames made, fewer
    // when the queued buffers ran out. Once the last queued frame has been
    // made the instance is finished. The device thread's, under the lock.
    int32_t Render(unsigned char* out, int32_t frames);
    // Refills the played buffers of a sound bound to a file. The event
    // loop's, under the lock.
    void RefillFromFile();

    int32_t ID() const { return m_nID; }
    CSound* Sound() const { return m_pSound; }
    int32_t IsFinished() const { return m_fFinished.load(); }
    int32_t IsAborting() const { return m_fAborting.load(); }
    void SetAborting() { m_fAborting.store(1); }
    float Pitch() const { return m_rPitch; }
    float Position() const { return m_rPosition; }
    int32_t LoopsLeft() const { return m_nLoops; }
    // The bytes buffer 0 or 1 holds now (0 for one never filled).
    int32_t BufferBytes(int32_t which) const { return m_aBytes[which]; }
    const unsigned char* Buffer(int32_t which) const { return m_aBuffer[which]; }
    // How many buffers are queued to play.
    int32_t QueuedBuffers() const { return m_nQueued; }

    static inline int32_t m_nInstanceIDGen = 0;

private:
    // What the converter takes its frames from.
    class CSource;
    // The next source frame from the queued buffers, as floats per
    // channel; false when none is queued.
    bool PullFrame(float* frame);
    // Nothing is queued, waits for a refill or will be loaded any more.
    bool SourceEnded() const;
    // A played buffer: refilled and queued again here, or left for the
    // event loop when the sound is bound to a file.
    void Played(int32_t which);
    void Fill(int32_t which);
    // LoadBuffer's copy of n frames at pitch 1 from the sound's file.
    bool ReadFromFile(int64_t frame, int32_t n, unsigned char* out);

    std::atomic<int32_t> m_fFinished{0};
    std::atomic<int32_t> m_fAborting{0};
    int32_t m_nID = 0;
    float m_rPitch = 1.0f;
    float m_rPosition = 0.0f;
    int32_t m_nLoops = 0;
    CSound* m_pSound = nullptr;
    int32_t m_fFileBound = 0;
    // The sound's format, as the instance started.
    int32_t m_nFrameBytes = 1;
    int32_t m_f16Bit = 0;
    int32_t m_nSourceChannels = 1;
    std::unique_ptr<CSampleConverter> m_pConverter;

    unsigned char m_aBuffer[2][kBufferBytes];
    int32_t m_aBytes[2] = {0, 0};
    // The buffers in the order they play, the first one playing.
    int32_t m_aQueue[2] = {0, 0};
    int32_t m_nQueued = 0;
    // Bytes of the first queued buffer already taken.
    int32_t m_nTaken = 0;
    // Played buffers of a file-bound sound that wait for the event loop,
    // in the order they were played.
    int32_t m_aWaiting[2] = {0, 0};
    int32_t m_nWaiting = 0;
    // A refill found nothing more: what is queued is the rest.
    int32_t m_fLoadEnded = 0;
};
