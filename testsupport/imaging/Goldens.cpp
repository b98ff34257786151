#include "testsupport/imaging/Goldens.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

#include "imaging/ImNav.h"

namespace {

// How many differing pixels a failure lists.
constexpr int kListedPixels = 10;

bool Updating() {
    const char* update = std::getenv("UPDATE_GOLDENS");
    return update && std::strcmp(update, "1") == 0;
}

std::string Hex(uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

// The pixel words of an image, rows top to bottom, with its sides.
struct sWords {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> px;

    uint32_t At(int32_t x, int32_t y) const { return px[size_t(y) * size_t(width) + size_t(x)]; }
};

// False for an image without a pixel block (empty, or compressed).
bool ReadWords(CImage& image, sWords& words) {
    words = {};
    if (!image.IsValid() || image.IsCompressed()) {
        return false;
    }
    CImNav view(&image);
    if (!view.IsLocked() || view.GetWidth() <= 0 || view.GetHeight() <= 0) {
        return false;
    }
    words.width = view.GetWidth();
    words.height = view.GetHeight();
    words.px.reserve(size_t(words.width) * size_t(words.height));
    for (int32_t y = 0; y < words.height; ++y) {
        const CPixel* row = view.Row(y);
        words.px.insert(words.px.end(), row, row + words.width);
    }
    return true;
}

bool StoreWords(const sWords& words, CImage& image) {
    if (image.Create(words.width, words.height) != eNoError) {
        return false;
    }
    CImNav view(&image);
    if (view.GetWidth() != words.width || view.GetHeight() != words.height) {
        return false;
    }
    for (int32_t y = 0; y < words.height; ++y) {
        CPixel* row = view.Row(y);
        for (int32_t x = 0; x < words.width; ++x) {
            row[x] = words.At(x, y);
        }
    }
    return true;
}

// libpng's simplified interface, freed on every path.
struct CPngImage {
    CPngImage() {
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
    }
    ~CPngImage() { png_image_free(&image); }
    CPngImage(const CPngImage&) = delete;
    CPngImage& operator=(const CPngImage&) = delete;

    png_image image;
};

// B, G, R, A bytes: each word's little-endian bytes, whatever the host.
bool WriteWords(const sWords& words, const std::filesystem::path& file) {
    std::vector<uint8_t> bytes;
    bytes.reserve(words.px.size() * 4);
    for (uint32_t word : words.px) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(uint8_t(word >> shift));
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    CPngImage png;
    png.image.width = png_uint_32(words.width);
    png.image.height = png_uint_32(words.height);
    png.image.format = PNG_FORMAT_BGRA;
    return png_image_write_to_file(&png.image, file.c_str(), 0, bytes.data(), 0, nullptr) != 0;
}

bool ReadWordsFromPng(const std::filesystem::path& file, sWords& words) {
    words = {};
    CPngImage png;
    if (!png_image_begin_read_from_file(&png.image, file.c_str())) {
        return false;
    }
    if (png.image.width == 0 || png.image.height == 0 ||
        png.image.width > uint32_t(CImageBase::kMaxSide) ||
        png.image.height > uint32_t(CImageBase::kMaxSide)) {
        return false;
    }
    png.image.format = PNG_FORMAT_BGRA;
    std::vector<uint8_t> bytes(PNG_IMAGE_SIZE(png.image));
    if (!png_image_finish_read(&png.image, nullptr, bytes.data(), 0, nullptr)) {
        return false;
    }
    words.width = int32_t(png.image.width);
    words.height = int32_t(png.image.height);
    words.px.resize(bytes.size() / 4);
    for (size_t i = 0; i < words.px.size(); ++i) {
        const uint8_t* b = &bytes[i * 4];
        words.px[i] =
            uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
    return true;
}

// The golden in faint grey, every differing pixel opaque red.
sWords Difference(const sWords& golden, const sWords& actual) {
    sWords diff = golden;
    for (size_t i = 0; i < diff.px.size(); ++i) {
        if (golden.px[i] != actual.px[i]) {
            diff.px[i] = 0xFFFF0000u;
            continue;
        }
        const uint32_t p = golden.px[i];
        const uint32_t grey = ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) / 3;
        diff.px[i] = 0xFF000000u | (0xC0u + grey / 4) * 0x010101u;
    }
    return diff;
}

// What differs, or nothing when the pictures are equal.
std::string Compare(const sWords& golden, const sWords& actual) {
    std::ostringstream out;
    if (golden.width != actual.width || golden.height != actual.height) {
        out << "the golden is " << golden.width << " x " << golden.height << ", the picture "
            << actual.width << " x " << actual.height;
        return out.str();
    }
    size_t differing = 0;
    for (int32_t y = 0; y < golden.height; ++y) {
        for (int32_t x = 0; x < golden.width; ++x) {
            if (golden.At(x, y) == actual.At(x, y)) {
                continue;
            }
            if (differing++ < kListedPixels) {
                out << "\n  (" << x << ", " << y << "): golden " << Hex(golden.At(x, y))
                    << ", actual " << Hex(actual.At(x, y));
            }
        }
    }
    if (differing == 0) {
        return {};
    }
    std::ostringstream head;
    head << differing << " of " << golden.px.size() << " pixels differ";
    if (differing > size_t(kListedPixels)) {
        head << ", the first " << kListedPixels;
    }
    return head.str() + ":" + out.str();
}

} // namespace

bool WritePicturePng(CImage& image, const std::filesystem::path& file) {
    sWords words;
    return ReadWords(image, words) && WriteWords(words, file);
}

bool ReadPicturePng(const std::filesystem::path& file, CImage& image) {
    sWords words;
    return ReadWordsFromPng(file, words) && StoreWords(words, image);
}

::testing::AssertionResult MatchesGoldenPng(CImage& image, const std::string& name,
                                            const SGoldenFolders& folders) {
    const std::filesystem::path golden = folders.data / (name + ".png");
    const std::filesystem::path actualFile = folders.output / (name + ".actual.png");
    const std::filesystem::path diffFile = folders.output / (name + ".diff.png");
    std::error_code ec;
    std::filesystem::remove(actualFile, ec);
    std::filesystem::remove(diffFile, ec);

    sWords actual;
    if (!ReadWords(image, actual)) {
        return ::testing::AssertionFailure()
               << "picture " << name << " has no pixels (empty, or compressed)";
    }
    sWords expected;
    std::string problem;
    if (!std::filesystem::exists(golden)) {
        problem = "there is no golden yet";
    } else if (!ReadWordsFromPng(golden, expected)) {
        problem = "the golden does not read as a PNG";
    } else {
        problem = Compare(expected, actual);
    }
    if (problem.empty()) {
        return ::testing::AssertionSuccess();
    }

    if (Updating()) {
        if (!WriteWords(actual, golden)) {
            return ::testing::AssertionFailure() << "UPDATE_GOLDENS: cannot write " << golden;
        }
        std::cout << "[goldens] rewrote " << golden.string() << " (" << problem << ")\n";
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "picture " << name << " differs from its golden " << golden.string() << ": "
            << problem;
    failure << "\n  actual: "
            << (WriteWords(actual, actualFile) ? actualFile.string() : "(not written)");
    if (!expected.px.empty() && expected.width == actual.width &&
        expected.height == actual.height) {
        failure << "\n  difference: "
                << (WriteWords(Difference(expected, actual), diffFile) ? diffFile.string()
                                                                       : "(not written)");
    }
    failure << "\n  UPDATE_GOLDENS=1 takes the picture as the new golden.";
    return failure;
}

uint32_t PictureCrc(CImage& image) {
    sWords words;
    ReadWords(image, words);
    std::vector<uint8_t> bytes;
    bytes.reserve(8 + words.px.size() * 4);
    auto put = [&bytes](uint32_t word) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(uint8_t(word >> shift));
        }
    };
    put(uint32_t(words.width));
    put(uint32_t(words.height));
    for (uint32_t word : words.px) {
        put(word);
    }
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes at most uInt bytes at a time.
    for (size_t done = 0; done < bytes.size();) {
        const size_t part = std::min<size_t>(bytes.size() - done, 1u << 30);
        crc = crc32(crc, bytes.data() + done, uInt(part));
        done += part;
    }
    return uint32_t(crc);
}

::testing::AssertionResult MatchesGoldenCrcs(const std::vector<SNamedPicture>& pictures,
                                             const std::vector<SGoldenCrc>& table,
                                             const std::filesystem::path& output) {
    std::ostringstream problems;
    std::ostringstream newTable;
    bool mismatch = false;
    bool missingPixels = false;
    for (const SNamedPicture& picture : pictures) {
        const std::filesystem::path file = output / (picture.name + ".png");
        std::error_code ec;
        std::filesystem::remove(file, ec);
        const bool written = WritePicturePng(picture.image, file);
        const uint32_t crc = PictureCrc(picture.image);
        newTable << "    {\"" << picture.name << "\", " << Hex(crc) << "u},\n";

        const SGoldenCrc* kept = nullptr;
        for (const SGoldenCrc& row : table) {
            kept = row.name == picture.name ? &row : kept;
        }
        if (kept && kept->crc == crc && written) {
            continue;
        }
        mismatch = true;
        problems << "\n  " << picture.name << ": ";
        if (!written) {
            problems << "no pixels (empty, or compressed)";
            missingPixels = true;
            continue;
        }
        if (kept) {
            problems << "table " << Hex(kept->crc) << ", now " << Hex(crc);
        } else {
            problems << "not in the table, now " << Hex(crc);
        }
        problems << ", see " << file.string();
    }
    for (const SGoldenCrc& row : table) {
        bool checked = false;
        for (const SNamedPicture& picture : pictures) {
            checked = checked || picture.name == row.name;
        }
        if (!checked) {
            mismatch = true;
            problems << "\n  " << row.name << ": in the table, but no such picture";
        }
    }
    if (!mismatch) {
        return ::testing::AssertionSuccess();
    }
    if (Updating() && !missingPixels) {
        std::cout << "[goldens] new CRC table:\n" << newTable.str();
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "pictures differ from their CRC table:" << problems.str()
           << "\nThe new table, to paste into the test (UPDATE_GOLDENS=1 prints it and passes):\n"
           << newTable.str();
}
