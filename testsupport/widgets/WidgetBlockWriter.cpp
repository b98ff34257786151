#include "testsupport/widgets/WidgetBlockWriter.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "foundation/Utf8.h"
#include "testsupport/widgets/EffectChunkWriter.h"

namespace {

const std::string kChunkLineEnd("\n\0\0\0", 4);

// Pads a code to four characters as WriterCode does.
std::string Padded(std::string_view code) {
    std::string out(code.substr(0, 4));
    out.resize(4, ' ');
    return out;
}

struct SRule {
    const char* code;
    EChunkRule rule;
};

// Each class's own chunks; a class's chain ends in its base's.
constexpr SRule kWidgetRules[] = {
    {"xpos", EChunkRule::Real},     {"ypos", EChunkRule::Real},    {"xpsr", EChunkRule::Flag},
    {"ypsr", EChunkRule::Flag},     {"xpsd", EChunkRule::Flag},    {"ypsd", EChunkRule::Flag},
    {"xsiz", EChunkRule::Real},     {"ysiz", EChunkRule::Real},    {"xszr", EChunkRule::SizeMode},
    {"yszr", EChunkRule::SizeMode}, {"xgrd", EChunkRule::Flag},    {"ygrd", EChunkRule::Flag},
    {"xcnt", EChunkRule::Flag},     {"ycnt", EChunkRule::Flag},    {"oblt", EChunkRule::Flag},
    {"vsbl", EChunkRule::Flag},     {"actv", EChunkRule::Flag},    {"opac", EChunkRule::Opacity},
    {"sipr", EChunkRule::Flag},     {"opct", EChunkRule::Int},     {"prop", EChunkRule::Flag},
    {"focs", EChunkRule::Flag},     {"kydn", EChunkRule::Flag},    {"kyup", EChunkRule::Flag},
    {"timr", EChunkRule::Flag},     {"hrtb", EChunkRule::Flag},    {"msmv", EChunkRule::Flag},
    {"lbdn", EChunkRule::Flag},     {"lbup", EChunkRule::Flag},    {"mbdn", EChunkRule::Flag},
    {"mbup", EChunkRule::Flag},     {"rbdn", EChunkRule::Flag},    {"rbup", EChunkRule::Flag},
    {"mswh", EChunkRule::Flag},     {"ttrg", EChunkRule::Ignored}, {"ttrt", EChunkRule::Ignored},
    {"autt", EChunkRule::Ignored},  {"tfpt", EChunkRule::Ignored}, {"hier", EChunkRule::Hier},
    {"usrd", EChunkRule::UserData},
};
constexpr SRule kCoWidgetRules[] = {
    {"colr", EChunkRule::Int},    {"shad", EChunkRule::Effect}, {"glow", EChunkRule::Effect},
    {"ctot", EChunkRule::Effect}, {"grdf", EChunkRule::Effect}, {"brde", EChunkRule::Effect},
};
constexpr SRule kImWidgetRules[] = {
    {"imag", EChunkRule::Image}, {"imls", EChunkRule::ImageList}, {"imlx", EChunkRule::Int},
    {"imsh", EChunkRule::Flag},  {"stim", EChunkRule::Flag},      {"imcm", EChunkRule::Flag},
};
constexpr SRule kRoRectRules[] = {
    {"rrad", EChunkRule::Real}, {"rbwd", EChunkRule::Real}, {"rtbh", EChunkRule::Real},
    {"rbcl", EChunkRule::Int},  {"rctl", EChunkRule::Flag}, {"rctr", EChunkRule::Flag},
    {"rcbl", EChunkRule::Flag}, {"rcbr", EChunkRule::Flag},
};
constexpr SRule kFrameRules[] = {
    {"frcl", EChunkRule::Int},
};
constexpr SRule kMaskRules[] = {
    {"imag", EChunkRule::Image}, {"imls", EChunkRule::ImageList8}, {"imlx", EChunkRule::Int},
    {"imsh", EChunkRule::Flag},  {"stim", EChunkRule::Flag},       {"imcm", EChunkRule::Flag},
};
constexpr SRule kShadRules[] = {
    {"swst", EChunkRule::Flag}, {"swsb", EChunkRule::Flag}, {"swsl", EChunkRule::Flag},
    {"swsr", EChunkRule::Flag}, {"swrd", EChunkRule::Real},
};
// The text widget's own; its chain goes on with the mask widget's.
constexpr SRule kTxWidgetRules[] = {
    {"font", EChunkRule::FontName}, {"fsiz", EChunkRule::FontSize}, {"fpsz", EChunkRule::FontSize},
    {"fjst", EChunkRule::Justify},  {"fbld", EChunkRule::Int},      {"fita", EChunkRule::Int},
    {"fudl", EChunkRule::Int},      {"text", EChunkRule::Text},     {"txls", EChunkRule::TextList},
    {"txlx", EChunkRule::Int},      {"txsz", EChunkRule::Int},      {"txwr", EChunkRule::Int},
};
// The captioned image widget's text chunks (no word wrap); its chain goes
// on with the image widget's.
constexpr SRule kTxImWidgetRules[] = {
    {"font", EChunkRule::FontName}, {"fsiz", EChunkRule::FontSize}, {"fpsz", EChunkRule::FontSize},
    {"fjst", EChunkRule::Justify},  {"fbld", EChunkRule::Int},      {"fita", EChunkRule::Int},
    {"fudl", EChunkRule::Int},      {"text", EChunkRule::Text},     {"txls", EChunkRule::TextList},
    {"txlx", EChunkRule::Int},      {"txsz", EChunkRule::Int},
};
// The edit field's own: the text colour.
constexpr SRule kTxEdWidgetRules[] = {
    {"txcl", EChunkRule::Int},
};
// The backdrop reads its own chunks and then CWidget's, none of CCoWidget's.
constexpr SRule kBackdropRules[] = {
    {"colr", EChunkRule::Int},       {"grop", EChunkRule::Opacity}, {"grad", EChunkRule::Gradient},
    {"gran", EChunkRule::Real},      {"grac", EChunkRule::Flag},    {"grcx", EChunkRule::Real},
    {"grcy", EChunkRule::Real},      {"imag", EChunkRule::Image},   {"curs", EChunkRule::Cursor},
    {"dcur", EChunkRule::CursorRef}, {"fscr", EChunkRule::Flag},    {"whsb", EChunkRule::Flag},
};

// The rule tables of a class's parser chain, its own first.
template <class Each> bool ForEachTable(std::string_view type, Each each) {
    const std::string t = Padded(type);
    if (t == "imwg") {
        each(kImWidgetRules);
    } else if (t == "rrwg") {
        each(kRoRectRules);
    } else if (t == "fmwg") {
        each(kFrameRules);
    } else if (t == "mkwg") {
        each(kMaskRules);
    } else if (t == "txwg") {
        each(kTxWidgetRules);
        each(kMaskRules);
    } else if (t == "tewg") {
        each(kTxEdWidgetRules);
        each(kTxImWidgetRules);
        each(kImWidgetRules);
    } else if (t == "shwg") {
        each(kShadRules);
    } else if (t == "bkdp") {
        each(kBackdropRules);
        each(kWidgetRules);
        return true;
    } else if (t != "cowg" && t != "wdgt") {
        return false;
    }
    if (t != "wdgt") {
        each(kCoWidgetRules);
    }
    each(kWidgetRules);
    return true;
}

bool FullInteger(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    if (text.empty() || text.size() > 12) {
        return false;
    }
    char* end = nullptr;
    const long long read = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || !(std::isdigit(uint8_t(text.back())))) {
        return false;
    }
    value = read;
    return value >= low && value <= high;
}

std::string CheckedUserData(const std::string& text) {
    const size_t first = text.find('|');
    const size_t second = first == std::string::npos ? first : text.find('|', first + 1);
    if (second == std::string::npos) {
        return "\"usrd\" is \"index|int|value\" or \"index|real|value\"";
    }
    int64_t index = 0;
    if (!FullInteger(text.substr(0, first), 0, 7, index)) {
        return "the \"usrd\" index is 0 to 7";
    }
    const std::string type = text.substr(first + 1, second - first - 1);
    const std::string value = text.substr(second + 1);
    int64_t number = 0;
    if (type == "int") {
        if (!FullInteger(value, INT32_MIN, 0xFFFFFFFFLL, number)) {
            return "an \"usrd\" int is a whole number from -2147483648 to 4294967295";
        }
        return {};
    }
    if (type == "real") {
        char* end = nullptr;
        const float real = value.empty() ? 0.0f : std::strtof(value.c_str(), &end);
        if (value.empty() || *end != '\0' || !std::isfinite(real)) {
            return "an \"usrd\" real is a finite number";
        }
        return {};
    }
    return "the \"usrd\" type is int or real";
}

// A hot-spot coordinate as the backdrop reads it back: a decimal number,
// whole or not, with an optional sign.
bool HotSpotText(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value) && (std::isdigit(uint8_t(text.back())) != 0) &&
           text.find_first_of("xXpPeEiInN") == std::string::npos;
}

} // namespace

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
    SWidgetChunk chunk;
    chunk.code = std::string(code);
    chunk.value = EChunkValue::Int;
    chunk.number = value;
    m_Chunks.push_back(std::move(chunk));
    return *this;
}

CWidgetChunks& CWidgetChunks::Real(std::string_view code, float value) {
    SWidgetChunk chunk;
    chunk.code = std::string(code);
    chunk.value = EChunkValue::Real;
    chunk.real = value;
    m_Chunks.push_back(std::move(chunk));
    return *this;
}

CWidgetChunks& CWidgetChunks::String(std::string_view code, std::string_view text) {
    SWidgetChunk chunk;
    chunk.code = std::string(code);
    chunk.value = EChunkValue::String;
    chunk.text = std::string(text);
    m_Chunks.push_back(std::move(chunk));
    return *this;
}

CWidgetChunks&
CWidgetChunks::Hier(const std::vector<std::pair<std::string, std::string>>& children) {
    SWidgetChunk chunk;
    chunk.code = "hier";
    chunk.value = EChunkValue::Hier;
    chunk.children = children;
    m_Chunks.push_back(std::move(chunk));
    return *this;
}

CWidgetChunks& CWidgetChunks::Effect(std::string_view code,
                                     const std::vector<SEffectField>& fields) {
    SWidgetChunk chunk;
    chunk.code = std::string(code);
    chunk.value = EChunkValue::Effect;
    chunk.fields = fields;
    m_Chunks.push_back(std::move(chunk));
    return *this;
}

CWidgetChunks& CWidgetChunks::Add(const SWidgetChunk& chunk) {
    m_Chunks.push_back(chunk);
    return *this;
}

CWidgetChunks& CWidgetChunks::Code(std::string_view code) {
    return Raw(WriterCode(code));
}

CWidgetChunks& CWidgetChunks::Raw(const std::string& bytes) {
    SWidgetChunk chunk;
    chunk.code = "";
    chunk.value = EChunkValue::Damaged;
    chunk.text = bytes;
    m_Chunks.push_back(std::move(chunk));
    return *this;
}

std::string CWidgetChunks::Data() const {
    std::string out;
    for (const SWidgetChunk& c : m_Chunks) {
        switch (c.value) {
        case EChunkValue::Int:
            out += WriterCode(c.code) + WriterInt32(uint32_t(c.number));
            break;
        case EChunkValue::Real: {
            uint32_t bits = 0;
            std::memcpy(&bits, &c.real, sizeof bits);
            out += WriterCode(c.code) + WriterInt32(bits);
            break;
        }
        case EChunkValue::String:
            out += WriterCode(c.code) + WriterUnits(c.text) + kChunkLineEnd;
            break;
        case EChunkValue::Hier:
            out += WriterCode(c.code) + WriterInt32(uint32_t(c.children.size()));
            for (const auto& [name, type] : c.children) {
                out += WriterUnits(name) + kChunkLineEnd + WriterCode(type);
            }
            break;
        case EChunkValue::Damaged:
            out += c.text;
            break;
        case EChunkValue::Effect:
            out += WriterCode(c.code);
            for (const SEffectField& f : c.fields) {
                uint32_t bits = uint32_t(f.number);
                if (f.real) {
                    std::memcpy(&bits, &f.value, sizeof bits);
                }
                out += WriterInt32(bits);
            }
            break;
        }
    }
    return WriterInt32(uint32_t(out.size())) + out;
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

std::string TextListPayload(int32_t exclusive,
                            const std::vector<std::pair<std::string, int32_t>>& items,
                            int32_t version) {
    std::string payload = WriterInt32(uint32_t(exclusive)) + WriterInt32(uint32_t(items.size()));
    for (const auto& [text, itemId] : items) {
        payload += WriterUnits(text) + std::string("\0\0", 2);
        if (version == 2) {
            payload += WriterInt32(uint32_t(itemId));
        }
    }
    return payload;
}

std::string TextListBlock(int32_t id, std::string_view name, int32_t exclusive,
                          const std::vector<std::pair<std::string, int32_t>>& items,
                          int32_t version) {
    return WriterBlock("txlt", id, name, TextListPayload(exclusive, items, version));
}

std::string ResourceFileBytes(int32_t version, const std::vector<std::string>& blocks) {
    std::string out = WriterCode("vers") + WriterInt32(4) + WriterInt32(uint32_t(version));
    for (const std::string& block : blocks) {
        out += block;
    }
    return out;
}

bool IsWidgetType(std::string_view type) {
    return ForEachTable(type, [](const auto&) {});
}

EChunkRule WidgetChunkRule(std::string_view type, std::string_view code) {
    const std::string c = Padded(code);
    EChunkRule found = EChunkRule::NotTaken;
    ForEachTable(type, [&](const auto& table) {
        for (const SRule& r : table) {
            if (found == EChunkRule::NotTaken && c == r.code) {
                found = r.rule;
            }
        }
    });
    return found;
}

std::vector<std::string> WidgetChunkCodes(std::string_view type) {
    std::vector<std::string> codes;
    ForEachTable(type, [&](const auto& table) {
        for (const SRule& r : table) {
            codes.emplace_back(r.code);
        }
    });
    return codes;
}

std::string CheckedName(std::string_view text) {
    if (text.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos) {
        return "it holds a line feed, return or NUL";
    }
    for (char16_t unit : gUtf8ToUtf16(text)) {
        if (unit == 0xFEFF || unit == 0xFFFE) {
            return "it holds a byte-order mark (U+FEFF or U+FFFE)";
        }
    }
    return {};
}

std::string CursorBlockName(std::string_view text) {
    const size_t bar = text.find('|');
    if (bar == std::string_view::npos || bar == 0) {
        return {};
    }
    const std::string rest(text.substr(bar + 1));
    const size_t comma = rest.find(',');
    if (comma == std::string::npos || !HotSpotText(rest.substr(0, comma)) ||
        !HotSpotText(rest.substr(comma + 1))) {
        return {};
    }
    return std::string(text.substr(0, bar));
}

std::string CheckedChunk(std::string_view type, const SWidgetChunk& chunk) {
    const std::string code = "\"" + chunk.code + "\"";
    if (chunk.value == EChunkValue::Damaged) {
        return "a chunk of damaged data";
    }
    const EChunkRule rule = WidgetChunkRule(type, chunk.code);
    const bool isInt = chunk.value == EChunkValue::Int;
    switch (rule) {
    case EChunkRule::NotTaken:
        return code + " is not a chunk of '" + Padded(type) + "' widgets";
    case EChunkRule::Effect:
        return chunk.value == EChunkValue::Effect ? CheckedEffectFields(chunk.code, chunk.fields)
                                                  : code + " takes an effect's keys";
    case EChunkRule::Int:
    case EChunkRule::Ignored:
        return isInt && chunk.number >= INT32_MIN && chunk.number <= 0xFFFFFFFFLL
                   ? ""
                   : code + " takes a whole number from -2147483648 to 4294967295";
    case EChunkRule::Flag:
        return isInt && (chunk.number == 0 || chunk.number == 1) ? "" : code + " is 0 or 1";
    case EChunkRule::SizeMode:
        return isInt && chunk.number >= 0 && chunk.number <= 2 ? "" : code + " is 0, 1 or 2";
    case EChunkRule::Opacity:
        return isInt && chunk.number >= 0 && chunk.number <= 255 ? "" : code + " is 0 to 255";
    case EChunkRule::Real:
        return chunk.value == EChunkValue::Real && std::isfinite(chunk.real)
                   ? ""
                   : code + " takes a finite number";
    case EChunkRule::FontSize:
        return chunk.value == EChunkValue::Real && chunk.real >= 1.0f && chunk.real <= 512.0f
                   ? ""
                   : code + " is a size from 1 to 512";
    case EChunkRule::Justify:
        return chunk.value == EChunkValue::String &&
                       (chunk.text == "left" || chunk.text == "right" || chunk.text == "centre" ||
                        chunk.text == "center")
                   ? ""
                   : code + " is \"left\", \"right\", \"centre\" or \"center\"";
    case EChunkRule::Text:
        return chunk.value == EChunkValue::String ? "" : code + " takes a text";
    case EChunkRule::Image:
    case EChunkRule::ImageList:
    case EChunkRule::ImageList8:
    case EChunkRule::Gradient:
    case EChunkRule::CursorRef:
    case EChunkRule::FontName:
    case EChunkRule::TextList:
        if (chunk.value != EChunkValue::String || chunk.text.empty()) {
            return code + " takes a block name";
        }
        return CheckedName(chunk.text).empty() ? "" : code + " holds no block name";
    case EChunkRule::UserData:
        if (chunk.value != EChunkValue::String) {
            return code + " takes a text";
        }
        return CheckedUserData(chunk.text);
    case EChunkRule::Cursor: {
        const std::string name =
            chunk.value == EChunkValue::String ? CursorBlockName(chunk.text) : std::string();
        if (name.empty()) {
            return code + " is \"name|x,y\": a widget block's name and the hot spot";
        }
        return CheckedName(name).empty() ? "" : code + " holds no block name";
    }
    case EChunkRule::Hier:
        if (chunk.value != EChunkValue::Hier) {
            return code + " takes a list of [name, type] pairs";
        }
        for (const auto& [name, child] : chunk.children) {
            if (name.empty() || !CheckedName(name).empty()) {
                return "a \"hier\" entry needs a block name without line ends, NUL or "
                       "byte-order marks";
            }
            if (!IsWidgetType(child)) {
                return "'" + child + "' is no widget type code of this build";
            }
        }
        return {};
    }
    return {};
}

bool CheckedWidgetBlock(std::string_view type, int32_t id, std::string_view name,
                        const CWidgetChunks& chunks, std::string& block, std::string& why,
                        size_t& failing) {
    failing = chunks.Chunks().size();
    if (!IsWidgetType(type)) {
        why = "'" + std::string(type) + "' is no widget type code of this build";
        return false;
    }
    if (name.empty() || !(why = CheckedName(name)).empty()) {
        why = "the block name: " + (why.empty() ? std::string("it is empty") : why);
        return false;
    }
    if (chunks.Chunks().empty()) {
        why = "a widget block needs chunks";
        return false;
    }
    for (size_t i = 0; i < chunks.Chunks().size(); ++i) {
        const SWidgetChunk& chunk = chunks.Chunks()[i];
        if (chunk.value == EChunkValue::String && chunk.text.find('\0') != std::string::npos) {
            why = "\"" + chunk.code + "\" holds a NUL";
        } else {
            why = CheckedChunk(type, chunk);
        }
        if (!why.empty()) {
            failing = i;
            return false;
        }
    }
    // The default cursor is found among the block's own cursors.
    for (size_t i = 0; i < chunks.Chunks().size(); ++i) {
        const SWidgetChunk& chunk = chunks.Chunks()[i];
        if (WidgetChunkRule(type, chunk.code) != EChunkRule::CursorRef) {
            continue;
        }
        bool named = false;
        for (const SWidgetChunk& other : chunks.Chunks()) {
            named = named || (WidgetChunkRule(type, other.code) == EChunkRule::Cursor &&
                              CursorBlockName(other.text) == chunk.text);
        }
        if (!named) {
            why = "\"" + chunk.code + "\" names \"" + chunk.text + "\", which no \"curs\" names";
            failing = i;
            return false;
        }
    }
    block = WidgetBlock(type, id, name, chunks);
    return true;
}

bool CheckedTextListBlock(int32_t id, std::string_view name, int32_t exclusive,
                          const std::vector<std::pair<std::string, int32_t>>& items,
                          std::string& block, std::string& why, size_t& failing) {
    failing = items.size();
    if (name.empty() || !(why = CheckedName(name)).empty()) {
        why = "the block name: " + (why.empty() ? std::string("it is empty") : why);
        return false;
    }
    if (exclusive != 0 && exclusive != 1) {
        why = "\"exclusive\" is 0 or 1";
        return false;
    }
    for (size_t i = 0; i < items.size(); ++i) {
        if (!(why = CheckedName(items[i].first)).empty()) {
            why = "an item's text: " + why;
            failing = i;
            return false;
        }
    }
    block = TextListBlock(id, name, exclusive, items, 2);
    return true;
}
