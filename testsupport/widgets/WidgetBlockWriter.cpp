#include "testsupport/widgets/WidgetBlockWriter.h"

#include <cstring>

#include "foundation/Utf8.h"

std::string WriterInt32(uint32_t value) {
    std::string out;
    for (int i = 0; i < 4; ++i) {
        out.push_back(char((value >> (8 * i)) & 0xFF));
    }
    return out;
}

std::string WriterCode(std::string_view code) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value = (value << 8) | uint8_t(i < code.size() ? code[i] : ' ');
    }
    return WriterInt32(value);
}

std::string WriterUnits(std::string_view text) {
    std::string out;
    for (char16_t unit : gUtf8ToUtf16(text)) {
        out.push_back(char(unit & 0xFF));
        out.push_back(char(unit >> 8));
    }
    return out;
}

CWidgetChunks& CWidgetChunks::Int(std::string_view code, int64_t value) {
    m_Chunks += WriterCode(code) + WriterInt32(uint32_t(value));
    return *this;
}

CWidgetChunks& CWidgetChunks::Real(std::string_view code, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    m_Chunks += WriterCode(code) + WriterInt32(bits);
    return *this;
}

CWidgetChunks& CWidgetChunks::String(std::string_view code, std::string_view text) {
    m_Chunks += WriterCode(code) + WriterUnits(text) + std::string("\n\0\0\0", 4);
    return *this;
}

CWidgetChunks&
CWidgetChunks::Hier(const std::vector<std::pair<std::string, std::string>>& children) {
    m_Chunks += WriterCode("hier") + WriterInt32(uint32_t(children.size()));
    for (const auto& [name, type] : children) {
        m_Chunks += WriterUnits(name) + std::string("\n\0\0\0", 4) + WriterCode(type);
    }
    return *this;
}

CWidgetChunks& CWidgetChunks::Code(std::string_view code) {
    m_Chunks += WriterCode(code);
    return *this;
}

CWidgetChunks& CWidgetChunks::Raw(const std::string& bytes) {
    m_Chunks += bytes;
    return *this;
}

std::string CWidgetChunks::Data() const {
    return WriterInt32(uint32_t(m_Chunks.size())) + m_Chunks;
}

std::string WriterBlock(std::string_view tag, int32_t id, std::string_view name,
                        const std::string& payload) {
    const std::string body =
        WriterInt32(uint32_t(id)) + WriterUnits(name) + std::string("\n\0\r\0", 4) + payload;
    return WriterCode(tag) + WriterInt32(uint32_t(body.size())) + body;
}

std::string WidgetBlock(std::string_view type, int32_t id, std::string_view name,
                        const CWidgetChunks& chunks) {
    return WriterBlock(type, id, name, chunks.Data());
}

std::string TextListBlock(int32_t id, std::string_view name, int32_t exclusive,
                          const std::vector<std::pair<std::string, int32_t>>& items,
                          int32_t version) {
    std::string payload = WriterInt32(uint32_t(exclusive)) + WriterInt32(uint32_t(items.size()));
    for (const auto& [text, itemId] : items) {
        payload += WriterUnits(text) + std::string("\0\0", 2);
        if (version == 2) {
            payload += WriterInt32(uint32_t(itemId));
        }
    }
    return WriterBlock("txlt", id, name, payload);
}

std::string ResourceFileBytes(int32_t version, const std::vector<std::string>& blocks) {
    std::string out = WriterCode("vers") + WriterInt32(4) + WriterInt32(uint32_t(version));
    for (const std::string& block : blocks) {
        out += block;
    }
    return out;
}
