// Raw blocks (test data): any four-character tag but 'vers', and the bytes
// as given. A raw block of another kind's tag is loaded by that kind's
// loader all the same.
//
//   - kind: raw
//     tag: test
//     id: 1
//     name: blob
//     bytes: "00 01 fe FF"  # optional, hex digits, optionally spaced

#include <cctype>

#include "devtools/rc/SourceFile.h"
#include "devtools/rc/kinds/ByteBlockKind.h"

namespace {

class CRawKind final : public CByteBlockKind {
public:
    CRawKind() : CByteBlockKind(false) {}
    const char* Name() const override { return "raw"; }
    uint32_t Tag() const override { return 0; }
    std::vector<const char*> Keys() const override { return {"tag", "bytes"}; }

    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        std::string tag, hex, bytes;
        if (!source.Scalar(entry, "tag", tag)) {
            return false;
        }
        if (tag.size() != 4 || tag == "vers") {
            source.Error(entry["tag"], "a raw block's tag is four characters other than vers");
            return false;
        }
        if (entry["bytes"] &&
            (!source.Scalar(entry, "bytes", hex) || !Hex(source, entry["bytes"], hex, bytes))) {
            return false;
        }
        block.tag = (uint32_t(uint8_t(tag[0])) << 24) | (uint32_t(uint8_t(tag[1])) << 16) |
                    (uint32_t(uint8_t(tag[2])) << 8) | uint32_t(uint8_t(tag[3]));
        SetBytes(block, std::move(bytes));
        return true;
    }

private:
    static bool Hex(CSourceFile& source, const YAML::Node& node, const std::string& text,
                    std::string& bytes) {
        std::string digits;
        for (char c : text) {
            if (std::isxdigit(uint8_t(c))) {
                digits.push_back(c);
            } else if (c != ' ') {
                source.Error(node, "\"bytes\" are hex digits, optionally spaced");
                return false;
            }
        }
        if (digits.size() % 2) {
            source.Error(node, "\"bytes\" need an even number of hex digits");
            return false;
        }
        for (size_t i = 0; i < digits.size(); i += 2) {
            bytes.push_back(char(std::stoi(digits.substr(i, 2), nullptr, 16)));
        }
        return true;
    }
};

} // namespace

const CBlockKind& RawKind() {
    static const CRawKind kind;
    return kind;
}
