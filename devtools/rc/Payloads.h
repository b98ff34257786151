#pragma once
// The payload layouts of the block kinds the compiler writes.
//
//   raw          the bytes as given (test data)
//   'imag'       Int32 n, then n bytes of one PNG, JPEG or BMP file
//   'imlt'/'iml8' Int32 exclusive, Int32 count, count names (UTF-16LE + LF CR)
//   'grad'       Int32 count, count × (Int32 colour 0xAARRGGBB, Real position)
//   'audi'       Int32 n, then n bytes of a WAV file in the canonical form:
//                the 44-byte header (fmt size 16, PCM) and the samples

#include <cstdint>
#include <string>
#include <vector>

#include "devtools/rc/SourceModel.h"

// A byte payload behind an optional Int32 length: raw blocks, images, sounds.
class BytesPayload : public Payload {
public:
    BytesPayload(std::string bytes, bool withLength)
        : m_Bytes(std::move(bytes)), m_fWithLength(withLength) {}
    error Write(gCStream& stream) const override;
    bool ReadBack(gCFile& file, gCResourceObject& found, std::string& why) const override;
    const std::string& Bytes() const { return m_Bytes; }

private:
    std::string m_Bytes;
    bool m_fWithLength;
};

class ImageListPayload : public Payload {
public:
    ImageListPayload(bool exclusive, std::vector<std::string> names)
        : m_fExclusive(exclusive), m_Names(std::move(names)) {}
    error Write(gCStream& stream) const override;
    bool ReadBack(gCFile& file, gCResourceObject& found, std::string& why) const override;
    const std::vector<std::string>& Names() const { return m_Names; }

private:
    bool m_fExclusive;
    std::vector<std::string> m_Names; // UTF-8
};

struct GradientStop {
    uint32_t colour = 0; // 0xAARRGGBB
    float position = 0;  // 0 to 1
};

class GradientPayload : public Payload {
public:
    explicit GradientPayload(std::vector<GradientStop> stops) : m_Stops(std::move(stops)) {}
    error Write(gCStream& stream) const override;
    bool ReadBack(gCFile& file, gCResourceObject& found, std::string& why) const override;

private:
    std::vector<GradientStop> m_Stops;
};

// Whether a PNG file carries a background colour (bKGD) before its image
// data: the image loader flattens alpha onto it.
bool PngHasBackground(const std::string& bytes);

// Whether the bytes start as a PNG, JPEG or BMP file does.
bool IsImageFile(const std::string& bytes);

// A WAV file of 8- or 16-bit PCM, mono or stereo, in the canonical form:
// the 44-byte header and the whole frames of its samples, other chunks
// dropped. False with the reason for anything else.
bool NormaliseWav(const std::string& wav, std::string& canonical, std::string& why);
