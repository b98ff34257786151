#include "devtools/ptgtool/PtgCheck.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <string_view>

#include "FileIO/gCMemFile.h"
#include "foundation/CMemBlock.h"
#include "foundation/MessageIds.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "imaging/PngIO.h"
#include "paint/project/ProjectFile.h"

namespace ptgcheck {

namespace {

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t Le32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint32_t Be32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// UTF-16 units as text; units beyond ASCII as \uXXXX.
std::string Printable(const std::u16string& units) {
    std::string out;
    for (char16_t u : units) {
        if (u >= 0x20 && u < 0x7F) {
            out.push_back(char(u));
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", unsigned(u));
            out += buf;
        }
    }
    return out;
}

class CWalker {
public:
    CWalker(const std::vector<unsigned char>& file, SReport& report) : m_File(file), m_R(report) {}

    void Run() {
        if (!HeaderLine(1, m_R.line1) || !HeaderLine(2, m_R.line2)) {
            return;
        }
        if (m_R.line1 != Printable(ptgfile::kHeaderText)) {
            Problem(0, "header line 1 is not \"" + Printable(ptgfile::kHeaderText) + "\"");
            return;
        }
        if (m_R.line2 != Printable(ptgfile::kAppName) &&
            m_R.line2 != Printable(ptgfile::kOlderAppName)) {
            Problem(m_nLine2, "header line 2 \"" + m_R.line2 + "\" names no application");
            return;
        }
        if (m_File.size() - m_nAt < 4) {
            Problem(m_nAt, "version cut by the end of the file");
            return;
        }
        m_R.version = Le32(&m_File[m_nAt]);
        m_R.hasVersion = true;
        m_nAt += 4;
        while (m_nAt < m_File.size()) {
            if (!Block()) {
                return;
            }
        }
        if (!m_fProject) {
            Problem(m_File.size(), "no project block");
        }
    }

private:
    void Problem(uint64_t offset, const std::string& text) {
        m_R.problems.push_back({offset, text});
    }

    // One header line up to LF CR; false (with its problem) when it is cut.
    // A byte-order mark anywhere in it is dropped and sets the order of the
    // units after it, as the loader takes it, but the format has none.
    bool HeaderLine(int n, std::string& text) {
        const size_t start = m_nAt;
        auto isMark = [&](size_t i) {
            return (m_File[i] == 0xFF && m_File[i + 1] == 0xFE) ||
                   (m_File[i] == 0xFE && m_File[i + 1] == 0xFF);
        };
        auto unitAt = [&](size_t i) {
            return m_fBigEndian ? char16_t((m_File[i] << 8) | m_File[i + 1])
                                : char16_t(m_File[i] | (m_File[i + 1] << 8));
        };
        std::u16string units;
        for (size_t at = m_nAt; at + 1 < m_File.size(); at += 2) {
            if (isMark(at)) {
                m_fBigEndian = m_File[at] == 0xFE;
                Problem(at, "header line " + std::to_string(n) + " holds a byte-order mark");
                continue;
            }
            const char16_t u = unitAt(at);
            if (u == u'\n') {
                if (at + 3 < m_File.size() && unitAt(at + 2) == u'\r') {
                    text = Printable(units);
                    m_nAt = at + 4;
                    if (n == 1) {
                        m_nLine2 = m_nAt;
                    }
                    return true;
                }
                break;
            }
            units.push_back(u);
            if (units.size() > 256) {
                break;
            }
        }
        text = Printable(units);
        Problem(start, "header line " + std::to_string(n) + " is cut or does not end in LF CR");
        return false;
    }

    bool Block() {
        const uint64_t at = m_nAt;
        if (m_File.size() - at < size_t(ptgfile::kBlockHeaderBytes)) {
            Problem(at, "block header cut by the end of the file");
            return false;
        }
        const uint32_t id = Le32(&m_File[at]);
        const int64_t length =
            int64_t(uint64_t(Le32(&m_File[at + 4])) | (uint64_t(Le32(&m_File[at + 8])) << 32));
        SBlockInfo info{at, id, length, ""};
        const char* name = ptgfile::BlockName(id);
        const std::string label = name ? name : "unknown block";
        const uint64_t remaining = m_File.size() - at - ptgfile::kBlockHeaderBytes;
        if (length <= 0) {
            Problem(at, label + ": length " + std::to_string(length) + " is not positive");
            m_R.blocks.push_back(info);
            return false;
        }
        if (uint64_t(length) > remaining) {
            Problem(at, label + ": length " + std::to_string(length) +
                            " runs past the end of the file");
            m_R.blocks.push_back(info);
            return false;
        }
        const unsigned char* payload = &m_File[at + 12];
        const size_t n = size_t(length);
        if (ptgfile::IsFourByteBlock(id)) {
            if (n != 4) {
                Problem(at,
                        label + ": length " + std::to_string(n) + " of a four-byte block is not 4");
            } else {
                FourBytes(at, id, Le32(payload), info.content);
            }
        } else if (id == eRecProject) {
            ProjectBlock(at, payload, n, info.content);
        } else if (ptgfile::LayerIndex(id) >= 0) {
            ImageBlock(at, label, payload, n, true, info.content);
        } else if (id == eRecTracingImage) {
            ImageBlock(at, label, payload, n, false, info.content);
        }
        m_R.blocks.push_back(info);
        m_nAt = at + 12 + n;
        return true;
    }

    void FourBytes(uint64_t at, uint32_t id, uint32_t value, std::string& content) {
        const int32_t v = int32_t(value);
        switch (id) {
        case eRecColour:
        case eRecCanvasSetting: {
            char buf[16];
            std::snprintf(buf, sizeof buf, "0x%08X", unsigned(value));
            content = buf;
            return;
        }
        case eRecToolType:
            content = std::to_string(v);
            m_fToolType = true;
            if (value > 7) {
                Problem(at, "tool type " + std::to_string(v) + " above 7");
            }
            return;
        case eRecToolSize:
        case eRecStrokeNum:
            content = std::to_string(v);
            if (!m_fToolType) {
                Problem(at, std::string(id == eRecToolSize ? "tool size" : "stroke number") +
                                " before the tool type");
            }
            return;
        case eRecLight1:
        case eRecLight2:
        case eRecLight3: {
            const float f = std::bit_cast<float>(value);
            content = std::to_string(f);
            if (!std::isfinite(f)) {
                Problem(at, std::string(ptgfile::BlockName(id)) + ": value is not finite");
            } else if (f < 0.0f || f > 1.0f) {
                Problem(at, std::string(ptgfile::BlockName(id)) + ": value " + content +
                                " outside 0..1");
            }
            return;
        }
        case eRecTracingMode:
            content = std::to_string(v);
            if (value > 1) {
                Problem(at, "tracing mode " + content + " is not 0 or 1");
            }
            return;
        case eRecTracingSetting3:
            content = std::to_string(v);
            if (value > 2) {
                Problem(at, "fit mode " + content + " is not 0 to 2");
            }
            return;
        default:
            content = std::to_string(v);
            return;
        }
    }

    void ProjectBlock(uint64_t at, const unsigned char* p, size_t n, std::string& content) {
        if (m_fProject) {
            Problem(at, "a second project block");
        }
        m_fProject = true;
        size_t zero = n;
        for (size_t i = 0; i + 1 < n; i += 2) {
            if (p[i] == 0 && p[i + 1] == 0) {
                zero = i;
                break;
            }
        }
        if (zero == n || zero + 2 + 8 > n) {
            Problem(at,
                    "eRecProject: the name's zero unit, width or height lies outside the payload");
            return;
        }
        std::u16string name;
        for (size_t i = 0; i < zero; i += 2) {
            name.push_back(char16_t(p[i] | (p[i + 1] << 8)));
        }
        const uint32_t w = Le32(p + zero + 2), h = Le32(p + zero + 6);
        content = "\"";
        content.append(Printable(name)).append("\" ").append(std::to_string(w));
        content.append(" x ").append(std::to_string(h));
        for (const auto& [side, value] : {std::pair{"width", w}, std::pair{"height", h}}) {
            if (value < uint32_t(ptgfile::kSmallestSide) ||
                value > uint32_t(ptgfile::kLargestSide)) {
                Problem(at, std::string("eRecProject: ") + side + " " + std::to_string(value) +
                                " outside 100..5000");
            }
        }
        if (zero + 2 + 8 < n) {
            Problem(at, "eRecProject: " + std::to_string(n - zero - 10) +
                            " bytes after the project block's height");
        }
        m_nWidth = w;
        m_nHeight = h;
    }

    void ImageBlock(uint64_t at, const std::string& label, const unsigned char* p, size_t n,
                    bool layer, std::string& content) {
        if (layer && !m_fProject) {
            Problem(at, label + ": layer block before the project block");
        }
        const bool png = n >= 33 && std::memcmp(p, kPngSignature, 8) == 0 && Be32(p + 8) == 13 &&
                         std::memcmp(p + 12, "IHDR", 4) == 0;
        if (!png) {
            content = "not a PNG";
            if (layer) {
                Problem(at, label + ": the payload is not a PNG");
                return;
            }
        } else {
            const uint32_t w = Be32(p + 16), h = Be32(p + 20);
            const int depth = p[24], type = p[25];
            content = std::to_string(w) + " x " + std::to_string(h) + ", PNG colour type " +
                      std::to_string(type) + " depth " + std::to_string(depth);
            if (layer) {
                if (w != m_nWidth || h != m_nHeight) {
                    Problem(at, label + ": layer size " + std::to_string(w) + "x" +
                                    std::to_string(h) + " is not the project's " +
                                    std::to_string(m_nWidth) + "x" + std::to_string(m_nHeight));
                    return;
                }
                if (type != 6 || depth != 8) {
                    Problem(at, label + ": PNG colour type " + std::to_string(type) + " depth " +
                                    std::to_string(depth) + ", not colour with alpha at 8 bits");
                }
                // The chunks up to the image data: a background colour is
                // not applied to a layer, but other readers would flatten
                // transparent paint onto it.
                for (size_t c = 8; c + 8 <= n;) {
                    const uint32_t length = Be32(p + c);
                    if (std::memcmp(p + c + 4, "bKGD", 4) == 0) {
                        Problem(at, label + ": the PNG has a bKGD chunk");
                    }
                    if (std::memcmp(p + c + 4, "IDAT", 4) == 0 || uint64_t(length) + 12 > n - c) {
                        break;
                    }
                    c += size_t(length) + 12;
                }
            }
        }
        // Whether it decodes: the image codec, not the project loader.
        CMemBlock block;
        if (!block.Resize(uint32_t(n), 0)) {
            Problem(at, label + ": no memory to decode it");
            return;
        }
        std::memcpy(block.GetData(), p, n);
        gCMemFile stream(&block);
        CImage image;
        const error e =
            layer ? gCPngIO().ReadImage(stream, image) : gCImageIO::ReadImage(stream, image);
        if (e != eNoError || !image.IsValid()) {
            Problem(at,
                    label + ": the image does not decode (code " + std::to_string(int(e)) + ")");
        }
    }

    const std::vector<unsigned char>& m_File;
    SReport& m_R;
    size_t m_nAt = 0;
    size_t m_nLine2 = 0;
    bool m_fProject = false;
    // The header lines' order, set by a byte-order mark.
    bool m_fBigEndian = false;
    bool m_fToolType = false;
    uint32_t m_nWidth = 0, m_nHeight = 0;
};

} // namespace

SReport Check(const std::vector<unsigned char>& file) {
    SReport report;
    CWalker(file, report).Run();
    return report;
}

} // namespace ptgcheck
