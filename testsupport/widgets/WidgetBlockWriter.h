#pragma once
// Writes widget blocks and text lists as the resource compiler lays them
// out, without its checks: tests build fixtures with it, good ones and
// ones the loaders must refuse.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The chunks of one widget block, in order.
class CWidgetChunks {
public:
    CWidgetChunks& Int(std::string_view code, int64_t value);
    CWidgetChunks& Real(std::string_view code, float value);
    // A UTF-8 text stored as its units, a line feed and a zero unit.
    CWidgetChunks& String(std::string_view code, std::string_view text);
    // "hier": the children as (block name, type code).
    CWidgetChunks& Hier(const std::vector<std::pair<std::string, std::string>>& children);
    // Only the code, or any bytes: for damaged data.
    CWidgetChunks& Code(std::string_view code);
    CWidgetChunks& Raw(const std::string& bytes);

    // The block's data: the size, then the chunks.
    std::string Data() const;

private:
    std::string m_Chunks;
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
// A 'txlt' block; version 1 writes the texts without ids.
std::string TextListBlock(int32_t id, std::string_view name, int32_t exclusive,
                          const std::vector<std::pair<std::string, int32_t>>& items,
                          int32_t version = 2);
// The version block and then the blocks.
std::string ResourceFileBytes(int32_t version, const std::vector<std::string>& blocks);
