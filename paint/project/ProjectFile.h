#pragma once
// The project file (.ptg): a painting as the backbone saves and loads it.
//
//   header line 1  UTF-16LE "Quillon Works Project file. " then LF CR
//   header line 2  UTF-16LE application name (string-table text 0xB2D05E00)
//                  then LF CR; "Daubkit" is read as well
//   version        uint32 0x00010000 (not tested when read)
//   blocks         to the end of the file: int32 id, int64 payload length,
//                  payload; all numbers little-endian
//
// The blocks as the backbone writes them, in this order:
//   eRecProject          name (UTF-16LE, one zero unit), uint32 width,
//                        uint32 height; 100 .. 5000 each
//   eRecColour           uint32 paint colour
//   eRecToolType         int32 tool id            } when there is a
//   eRecToolSize         int32 tool size          } current tool
//   eRecStrokeNum        int32 stroke number      }
//   eRecCanvasSetting    uint32 paper colour      } when there is a
//   eRecLight1..3        float grain relief, paper highlight, paper environment
//   eRecLayer0..3        each layer as a PNG (colour with alpha, 8 bits a
//                        channel), every 32-bit word kept bit for bit
//   eRecTracingMode      int32 tracing display
//   eRecTracingSetting2  int32 tracing colour pick
//   eRecTracingSetting3  int32 tracing fit mode
//   eRecTracingImage     the tracing image as a PNG, when there is one
//
// Reading takes the blocks in any order, as long as the project block comes
// before the layers; ids it does not know are skipped.

#include <cstdint>
#include <memory>

#include "foundation/CMemBlock.h"
#include "foundation/Error.h"
#include "foundation/gCArray.h"
#include "foundation/gCString.h"
#include "imaging/Image.h"
#include "imaging/PngIO.h"

namespace ptgfile {

inline constexpr char16_t kHeaderText[] = u"Quillon Works Project file. ";
// The application name an older program wrote on line 2.
inline constexpr char16_t kOlderAppName[] = u"Daubkit";
// Line 2 when the string table has no application name.
inline constexpr char16_t kAppName[] = u"Daublin";
inline constexpr uint32_t kAppNameText = 0xB2D05E00;
inline constexpr uint32_t kVersion = 0x00010000;
inline constexpr int32_t kSmallestSide = 100;
inline constexpr int32_t kLargestSide = 5000;
// Id and length before each payload.
inline constexpr int64_t kBlockHeaderBytes = 12;
inline constexpr int32_t kLayerCount = 4;

// The name of a block id ("eRecProject", ...), or null for one the format
// does not have.
const char* BlockName(uint32_t id);
// Blocks whose payload is one 32-bit value.
bool IsFourByteBlock(uint32_t id);
// eRecLayer0..3: the layer's index, else -1.
int32_t LayerIndex(uint32_t id);
// Blocks a reader applies; the others are skipped.
bool IsKnownBlock(uint32_t id);

// The text of header line 2: the string table's application name, or
// kAppName without one.
gCString ApplicationName();

// How layer blocks are compressed: one fixed row filter and zlib's level
// and strategy chosen for speed on paint layers. Still a standard PNG.
gCPngIO::SWriteOptions LayerWriteOptions();

// The defaults of the three light floats, which a NaN from a file takes.
inline constexpr float kDefaultGrainRelief = 0.5f;
inline constexpr float kDefaultPaperHighlight = 0.2f;
inline constexpr float kDefaultPaperEnvironment = 0.0f;
// A light from a file: clamped to 0..1 (+inf to 1, -inf to 0), a NaN the
// default.
float LightFromFile(float value, float fallback);

// Test seam: the layers of a load are decoded on exactly n threads, the
// caller's included (1 to 8); 0 goes back to the automatic choice (one a
// layer, at most the hardware's threads).
void ForceDecodeThreads(int32_t n);
int32_t DecodeThreads(int32_t layers);
// The same for the layers of a save, which are encoded on those threads.
void ForceEncodeThreads(int32_t n);
int32_t EncodeThreads(int32_t layers);

// What a file holds, read whole and checked, with its images decoded, before
// any of it reaches the open painting.
struct SContents {
    // A block to apply, in file order: its id and, for the four-byte
    // blocks, its value (a float's bits for the lights).
    struct SEntry {
        uint32_t id = 0;
        uint32_t value = 0;
    };

    SContents() = default;
    SContents(const SContents&) = delete;
    SContents& operator=(const SContents&) = delete;

    // From the project block; 0 until one is read.
    int32_t width = 0;
    int32_t height = 0;
    gCArray<SEntry> entries;
    // The last block of each layer, decoded; null when the file has none.
    std::unique_ptr<CImage> layers[kLayerCount];
    // A layer block read and checked but not yet decoded: the layers are
    // decoded together once the whole file has been walked.
    struct SPendingLayer {
        CMemBlock payload;
        // Its entry; -1 when nothing is pending.
        int32_t entry = -1;
    };
    SPendingLayer pending[kLayerCount];
    // The last tracing image, decoded, and its entry's index.
    std::unique_ptr<CImage> tracing;
    int32_t tracingEntry = -1;
};

} // namespace ptgfile
