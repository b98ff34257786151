#pragma once
// Writes widget blocks and text lists as the resource compiler lays them
// out. Its own library, without the test framework: the compiler links it
// for its checked form, tests for fixtures, good ones and ones the loaders
// must refuse (the unchecked form writes whatever it is given).

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// How a chunk's payload is written.
enum class EChunkValue { Int, Real, String, Hier, Damaged, Effect };

// One field of an effect chunk's payload: an Int32 or a Real.
struct SEffectField {
    bool real = false;
    int64_t number = 0;
    float value = 0.0f;
};
inline SEffectField FieldInt(int64_t number) {
    return {false, number, 0.0f};
}
inline SEffectField FieldReal(float value) {
    return {true, 0, value};
}

struct SWidgetChunk {
    std::string code; // four characters, shorter ones padded with spaces
    EChunkValue value = EChunkValue::Int;
    int64_t number = 0; // Int
    float real = 0.0f;  // Real
    std::string text;   // String (UTF-8); Damaged: the bytes as they are
    std::vector<std::pair<std::string, std::string>> children; // Hier: (name, type)
    std::vector<SEffectField> fields;                          // Effect: the payload
};

// The chunks of one widget block, in order.
class CWidgetChunks {
public:
    CWidgetChunks& Int(std::string_view code, int64_t value);
    CWidgetChunks& Real(std::string_view code, float value);
    // A UTF-8 text stored as its units, a line feed and a zero unit.
    CWidgetChunks& String(std::string_view code, std::string_view text);
    // "hier": the children as (block name, type code).
    CWidgetChunks& Hier(const std::vector<std::pair<std::string, std::string>>& children);
    // An effect chunk: the code, then its fields in order (as many as
    // given, so a chunk may be cut short).
    CWidgetChunks& Effect(std::string_view code, const std::vector<SEffectField>& fields);
    // A chunk as another list holds it.
    CWidgetChunks& Add(const SWidgetChunk& chunk);
    // Only the code, or any bytes: for damaged data.
    CWidgetChunks& Code(std::string_view code);
    CWidgetChunks& Raw(const std::string& bytes);

    // The block's data: the size, then the chunks.
    std::string Data() const;
    const std::vector<SWidgetChunk>& Chunks() const { return m_Chunks; }

private:
    std::vector<SWidgetChunk> m_Chunks;
};

// Little-endian Int32 bytes and a four-character code's.
std::string WriterInt32(uint32_t value);
std::string WriterCode(std::string_view code);
// UTF-16LE units of a UTF-8 text.
std::string WriterUnits(std::string_view text);

// A block: tag, size, id, name (units, LF, CR), payload.
std::string WriterBlock(std::string_view tag, int32_t id, std::string_view name,
                        const std::string& payload);
std::string WidgetBlock(std::string_view type, int32_t id, std::string_view name,
                        const CWidgetChunks& chunks);
// A text list's payload; version 1 writes the texts without ids.
std::string TextListPayload(int32_t exclusive,
                            const std::vector<std::pair<std::string, int32_t>>& items,
                            int32_t version = 2);
// A 'txlt' block.
std::string TextListBlock(int32_t id, std::string_view name, int32_t exclusive,
                          const std::vector<std::pair<std::string, int32_t>>& items,
                          int32_t version = 2);
// The version block and then the blocks.
std::string ResourceFileBytes(int32_t version, const std::vector<std::string>& blocks);

// --- The checked form: what the program's loaders take.

// How a class's parser chain reads a chunk.
enum class EChunkRule {
    Int,       // any Int32 (colours, indexes)
    Flag,      // 0 or 1
    SizeMode,  // 0, 1 or 2
    Opacity,   // 0 to 255
    Real,      // a finite float
    Image,     // the name of an image block
    ImageList, // the name of an image-list block
    Hier,      // the children
    UserData,  // "index|int|value" or "index|real|value"
    Ignored,   // an Int32 read and dropped
    Effect,    // an effect chunk, read by its keys
    Gradient,  // the name of a gradient block
    Cursor,    // "name|x,y": a widget block's name and the hot spot
    CursorRef, // the name of a cursor the block's "curs" chunks name
    NotTaken,  // no parser of the chain takes it
    // The name of an 8-bit image-list block.
    ImageList8,
    // The text widget's: the font's family (a block name), a size of 1 to
    // 512, "left", "right", "centre" or "center", any text without NUL, and
    // the name of a text-list block.
    FontName,
    FontSize,
    Justify,
    Text,
    TextList,
};

// The type codes a widget class is built from.
bool IsWidgetType(std::string_view type);
// How a class reads the code; NotTaken for codes its chain refuses and for
// types that are no widget class.
EChunkRule WidgetChunkRule(std::string_view type, std::string_view code);
// Every code a class takes, in its parser chain's order.
std::vector<std::string> WidgetChunkCodes(std::string_view type);

// Why the program would refuse or misread a block name or a text-list item
// (a line feed, return, NUL or byte-order mark); empty when it would not.
std::string CheckedName(std::string_view text);
// The widget block a "curs" text names, or empty when it is no cursor text.
std::string CursorBlockName(std::string_view text);
// Why the class's loader would refuse or misread the chunk; empty when it
// takes it. Blocks the children, images, gradients and cursors name are
// checked by the caller; a "dcur" against the block's "curs" chunks by
// CheckedWidgetBlock.
std::string CheckedChunk(std::string_view type, const SWidgetChunk& chunk);
// The block as WidgetBlock writes it, or, with the reason and the failing
// chunk's index (the count for the block as a whole), nothing.
bool CheckedWidgetBlock(std::string_view type, int32_t id, std::string_view name,
                        const CWidgetChunks& chunks, std::string& block, std::string& why,
                        size_t& failing);
// A version-2 text list as TextListBlock writes it, or the reason and the
// failing item's index (the count for the list as a whole).
bool CheckedTextListBlock(int32_t id, std::string_view name, int32_t exclusive,
                          const std::vector<std::pair<std::string, int32_t>>& items,
                          std::string& block, std::string& why, size_t& failing);
