#pragma once
// Resource-file bytes written out by hand: blocks, resource headers and the
// version block, as a test builds a file to index or scan.

#include <cstdint>
#include <string>

inline std::string Le32(uint32_t v) {
    std::string out;
    for (int i = 0; i < 4; ++i) {
        out.push_back(char((v >> (8 * i)) & 0xFF));
    }
    return out;
}

// ASCII text as UTF-16LE units followed by LF CR.
inline std::string Utf16Line(const std::string& ascii) {
    std::string out;
    for (char c : ascii + "\n\r") {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

inline std::string Block(uint32_t tag, const std::string& data) {
    return Le32(tag) + Le32(uint32_t(data.size())) + data;
}

inline std::string VersionBlock(int32_t version) {
    return Block(0x76657273, Le32(uint32_t(version)));
}

inline std::string ResBlock(uint32_t tag, int32_t id, const std::string& name,
                            const std::string& payload) {
    return Block(tag, Le32(uint32_t(id)) + Utf16Line(name) + payload);
}
