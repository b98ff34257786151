#include "bench/FuzzSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "FileIO/FileTypes.h"
#include "FileIO/VolumeTable.h"
#include "foundation/Utf8.h"
#include "text/TxWidget.h"
#include "widgets/TextList.h"
#include "widgets/WidgetConstructor.h"

namespace fuzz {

namespace {

uint32_t Le32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) |
           (uint32_t(b[at + 3]) << 24);
}

void PutLe32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
    }
}

// The scratch folder, made and registered on first use.
class CScratch {
public:
    CScratch() {
        char pattern[] = "/tmp/daublin-fuzz-XXXXXX";
        if (::mkdtemp(pattern)) {
            m_Root = pattern;
            gCVolumeTable::Register(u"Fuzz", m_Root);
        }
    }
    ~CScratch() {
        std::error_code ec;
        std::filesystem::remove_all(m_Root, ec);
    }
    const std::string& Root() const { return m_Root; }

private:
    std::string m_Root;
};

const CScratch& Scratch() {
    static CScratch scratch;
    return scratch;
}

} // namespace

void UseHeadlessDrivers() {
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
}

std::string ScratchPosix(const char* leaf) {
    return Scratch().Root() + "/" + leaf;
}

gCString ScratchColon(const char* leaf) {
    gCString path;
    (void)gStringFromUtf8(path, (std::string("Fuzz:") + leaf).c_str());
    (void)Scratch();
    return path;
}

bool WriteScratch(const char* leaf, const uint8_t* data, size_t size) {
    std::ofstream out(ScratchPosix(leaf), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return bool(out);
}

Bytes ReadWholeFile(const std::string& posixPath) {
    std::ifstream in(posixPath, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

bool WriteWholeFile(const std::string& posixPath, const Bytes& bytes) {
    std::ofstream out(posixPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

std::vector<SResBlock> ResBlocks(const Bytes& file) {
    std::vector<SResBlock> blocks;
    for (size_t at = 0; at + 8 <= file.size();) {
        SResBlock b;
        b.tag = Le32(file, at);
        b.at = at;
        b.size = Le32(file, at + 4);
        if (b.size > file.size() - at - 8) {
            break;
        }
        if (b.tag != FourCC("vers")) {
            // The id, then UTF-16LE name units up to LF CR.
            size_t p = at + 8 + 4;
            const size_t end = at + 8 + b.size;
            while (p + 4 <= end && !(file[p] == '\n' && file[p + 1] == 0 && file[p + 2] == '\r' &&
                                     file[p + 3] == 0)) {
                p += 2;
            }
            if (p + 4 > end) {
                break;
            }
            b.headerBytes = p + 4 - (at + 8);
        }
        blocks.push_back(b);
        at += 8 + b.size;
    }
    return blocks;
}

std::vector<SResBlock> BlocksTagged(const Bytes& file, const std::vector<uint32_t>& tags) {
    std::vector<SResBlock> out;
    for (const SResBlock& b : ResBlocks(file)) {
        for (uint32_t tag : tags) {
            if (b.tag == tag) {
                out.push_back(b);
                break;
            }
        }
    }
    return out;
}

gCString BlockName(const Bytes& file, const SResBlock& block) {
    std::u16string name;
    for (size_t p = block.at + 12; p + 4 < block.Payload(); p += 2) {
        name.push_back(char16_t(file[p] | (file[p + 1] << 8)));
    }
    gCString text;
    (void)text.CopyString(name.c_str());
    return text;
}

Bytes Spliced(const Bytes& file, const SResBlock& block, const uint8_t* payload, size_t size) {
    Bytes out(file.begin(), file.begin() + long(block.Payload()));
    out.insert(out.end(), payload, payload + size);
    out.insert(out.end(), file.begin() + long(block.at + 8 + block.size), file.end());
    PutLe32(out, block.at + 4, uint32_t(block.headerBytes + size));
    return out;
}

Bytes ResourceBlock(uint32_t tag, int32_t id, const char* name, const Bytes& payload) {
    Bytes b(12);
    PutLe32(b, 0, tag);
    PutLe32(b, 8, uint32_t(id));
    for (const char* c = name; *c; ++c) {
        b.insert(b.end(), {uint8_t(*c), 0});
    }
    b.insert(b.end(), {'\n', 0, '\r', 0});
    b.insert(b.end(), payload.begin(), payload.end());
    PutLe32(b, 4, uint32_t(b.size() - 8));
    return b;
}

Bytes Without(const Bytes& file, const std::vector<uint32_t>& tags) {
    Bytes out;
    for (const SResBlock& b : ResBlocks(file)) {
        bool drop = false;
        for (uint32_t tag : tags) {
            drop = drop || b.tag == tag;
        }
        if (!drop) {
            out.insert(out.end(), file.begin() + long(b.at),
                       file.begin() + long(b.at + 8 + b.size));
        }
    }
    return out;
}

Bytes VersionAnd(const Bytes& file, const SResBlock& block) {
    Bytes out;
    for (const SResBlock& b : ResBlocks(file)) {
        if (b.tag == FourCC("vers")) {
            out.insert(out.end(), file.begin() + long(b.at), file.begin() + long(b.at + 12));
            break;
        }
    }
    out.insert(out.end(), file.begin() + long(block.at),
               file.begin() + long(block.at + 8 + block.size));
    return out;
}

const Bytes& WidgetBase() {
    static const Bytes base = [] {
        Bytes b = Without(BuiltResourceFile(), {FourCC("font"), FourCC("audi")});
        // Exclusivity 0, two items of a text and an id each.
        Bytes items = {0, 0, 0, 0, 2, 0, 0, 0};
        for (const char* text : {"Open", "Save as"}) {
            for (const char* c = text; *c; ++c) {
                items.insert(items.end(), {uint8_t(*c), 0});
            }
            items.insert(items.end(), {'\n', 0, '\r', 0, uint8_t(text[0]), 0, 0, 0});
        }
        const Bytes list = ResourceBlock(FourCC("txlt"), 900, "Fuzz text list", items);
        b.insert(b.end(), list.begin(), list.end());
        return b;
    }();
    return base;
}

const Bytes& BuiltResourceFile() {
    static const Bytes file = ReadWholeFile(DAUBLIN_RESOURCE_DIR "/system.vrf");
    return file;
}

std::string BuiltStringTablePath() {
    return DAUBLIN_RESOURCE_DIR "/system.vsf";
}

const std::vector<uint32_t>& WidgetAndListTags() {
    static const std::vector<uint32_t> tags = [] {
        (void)RegisterTextWidgets();
        std::vector<uint32_t> t;
        for (const SResBlock& b : ResBlocks(WidgetBase())) {
            bool seen = false;
            for (uint32_t have : t) {
                seen = seen || have == b.tag;
            }
            if (!seen && CWidgetConstructor::IsConstructible(int32_t(b.tag))) {
                t.push_back(b.tag);
            }
        }
        t.push_back(kTextListTypeID);
        return t;
    }();
    return tags;
}

} // namespace fuzz
