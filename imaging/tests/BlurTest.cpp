#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "foundation/Rounding.h"
#include "foundation/gCMemory.h"
#include "imaging/Blur.h"
#include "imaging/detail/BlurLine.h"
#include "imaging/tests/Reference.h"
#include "imaging/tests/TestImages.h"

namespace {

// ---- The blur written plainly: whole copies of each line per pass. ----

enum Kind { kLow, kHigh, kWord };

int64_t Get(uint32_t w, Kind k) {
    return k == kLow ? (w & 0xFFFF) : k == kHigh ? (w >> 16) : w;
}
uint32_t Put(uint32_t w, Kind k, int64_t v) {
    return k == kLow    ? (w & 0xFFFF0000u) | uint32_t(v)
           : k == kHigh ? (w & 0xFFFFu) | (uint32_t(v) << 16)
                        : uint32_t(v);
}

struct PlainParams {
    uint32_t d;
    uint32_t f16;
    float f;
};

bool PlainFromRadius(float radius, PlainParams& p) {
    if (radius < 0.000001f) {
        return false;
    }
    if (radius < 1.0f) {
        radius = radius * 0.5f + 0.5f;
    }
    const float t = float(std::log(double(radius))) / 0.6931472f + 1.0f;
    const int32_t n = int32_t(t);
    p = PlainParams{uint32_t(1) << n, uint32_t(int32_t((t - float(n)) * 65536.0f)), t - float(n)};
    return true;
}

std::vector<int64_t> PlainLine(std::vector<int64_t> v, PlainParams p, bool isFloat, bool rounded) {
    const int64_t n = int64_t(v.size());
    if (n == 0) {
        return v;
    }
    if (p.d > uint64_t(n)) {
        p.f16 = 65536;
        p.f = 1.0f;
        while (p.d > uint64_t(n)) {
            p.d /= 2;
        }
    }
    const int64_t e0 = v[0], e1 = v[size_t(n - 1)];
    auto at = [&](const std::vector<int64_t>& o, int64_t i) {
        return i < 0 ? e0 : i >= n ? e1 : o[size_t(i)];
    };
    std::vector<int64_t> old = v;
    const int64_t d = p.d;
    for (int64_t i = 0; i < n; ++i) {
        if (isFloat) {
            const float k = p.f / 4.0f, w = 1.0f - 2.0f * k;
            const float r = k * float(uint32_t(at(old, i - d) + at(old, i + d))) +
                            w * float(uint32_t(old[size_t(i)]));
            v[size_t(i)] = int64_t(RoundHalfAway(r));
        } else {
            const int64_t k = p.f16 >> 2, w = 65536 - 2 * k;
            v[size_t(i)] = (k * (at(old, i - d) + at(old, i + d)) + w * old[size_t(i)]) >> 16;
        }
    }
    for (int64_t s = d / 2; s >= 1; s /= 2) {
        old = v;
        for (int64_t i = 0; i < n; ++i) {
            v[size_t(i)] =
                (at(old, i - s) + 2 * old[size_t(i)] + at(old, i + s) + (rounded ? 2 : 0)) >> 2;
        }
    }
    return v;
}

enum Dir { kBoth, kAcross, kDown };

// Rows first, then columns, of a w x h block of words.
void PlainBlur(std::vector<uint32_t>& px, int32_t w, int32_t h, Kind kind, float radius, Dir dir) {
    PlainParams p;
    if (!PlainFromRadius(radius, p)) {
        return;
    }
    if (dir != kDown) {
        for (int32_t y = 0; y < h; ++y) {
            std::vector<int64_t> line;
            for (int32_t x = 0; x < w; ++x) {
                line.push_back(Get(px[size_t(y) * w + x], kind));
            }
            line = PlainLine(line, p, kind == kWord, true);
            for (int32_t x = 0; x < w; ++x) {
                px[size_t(y) * w + x] = Put(px[size_t(y) * w + x], kind, line[size_t(x)]);
            }
        }
    }
    if (dir != kAcross) {
        for (int32_t x = 0; x < w; ++x) {
            std::vector<int64_t> line;
            for (int32_t y = 0; y < h; ++y) {
                line.push_back(Get(px[size_t(y) * w + x], kind));
            }
            line = PlainLine(line, p, kind == kWord, false);
            for (int32_t y = 0; y < h; ++y) {
                px[size_t(y) * w + x] = Put(px[size_t(y) * w + x], kind, line[size_t(y)]);
            }
        }
    }
}

// The colour blur over the area {ax, ay, ax + aw, ay + ah} of the picture.
void PlainColourBlur(std::vector<uint32_t>& px, int32_t w, int32_t h, gCRect area, float radius,
                     Dir dir, bool alpha) {
    const int32_t aw = area.Width(), ah = area.Height();
    std::vector<uint32_t> t(size_t(aw) * ah, 0);
    auto inside = [&](int32_t i, int32_t j) {
        const int32_t x = area.left + i, y = area.top + j;
        return x >= 0 && x < w && y >= 0 && y < h;
    };
    auto pixel = [&](int32_t i, int32_t j) -> uint32_t& {
        return px[size_t(area.top + j) * w + area.left + i];
    };
    const uint32_t M = 0x00FF00FFu, N = 0xFF00FF00u;
    for (int32_t j = 0; j < ah; ++j) {
        for (int32_t i = 0; i < aw; ++i) {
            if (inside(i, j)) {
                t[size_t(j) * aw + i] = (pixel(i, j) & M) | ((pixel(i, j) & M) << 8);
            }
        }
    }
    PlainBlur(t, aw, ah, kLow, radius, dir);
    PlainBlur(t, aw, ah, kHigh, radius, dir);
    for (int32_t j = 0; j < ah; ++j) {
        for (int32_t i = 0; i < aw; ++i) {
            uint32_t& tv = t[size_t(j) * aw + i];
            if (!inside(i, j)) {
                tv = 0;
                continue;
            }
            const uint32_t g = pixel(i, j) & N;
            pixel(i, j) = ((tv & N) >> 8) | g;
            tv = g | (g >> 8);
        }
    }
    PlainBlur(t, aw, ah, kLow, radius, dir);
    if (alpha) {
        PlainBlur(t, aw, ah, kHigh, radius, dir);
    }
    for (int32_t j = 0; j < ah; ++j) {
        for (int32_t i = 0; i < aw; ++i) {
            if (inside(i, j)) {
                const uint32_t tv = t[size_t(j) * aw + i];
                pixel(i, j) = alpha ? (pixel(i, j) & M) | (tv & N)
                                    : (pixel(i, j) & 0xFFFF00FFu) | (tv & 0x0000FF00u);
            }
        }
    }
}

std::vector<uint32_t> RandomWords(std::mt19937& rng, size_t n, Kind kind) {
    std::vector<uint32_t> px = testimg::RandomPixels(rng, n);
    if (kind == kWord) {
        for (auto& p : px) {
            p &= 0x00FFFFFFu; // the 24-bit blur takes values below 2^24
        }
    }
    return px;
}

const float kRadii[] = {0.3f, 1.0f, 2.5f, 7.0f, 40.0f};

// The odd shapes, and a few seeded random ones.
std::vector<testimg::Size> BlurSizes() {
    std::vector<testimg::Size> sizes = testimg::OddSizes();
    sizes.push_back({5, 3});
    sizes.push_back({70, 2});
    std::mt19937 rng(99);
    for (int i = 0; i < 4; ++i) {
        sizes.push_back({int32_t(1 + rng() % 60), int32_t(1 + rng() % 60)});
    }
    return sizes;
}

// ---- The drivers against the plain blur. ----

enum Family { kLowChannel, kHighChannel, kBothChannels, kWholeWord, kRGB, kRGBA };
const char* const kFamilyNames[] = {"Low", "High", "16x2", "24", "RGB", "RGBA"};
const char* const kDirNames[] = {"Both", "H", "V"};

struct DriverCase {
    Family family;
    Dir dir;
};

void PrintTo(const DriverCase& c, std::ostream* os) {
    *os << kFamilyNames[c.family] << kDirNames[c.dir];
}

int32_t RunDriver(Family family, Dir dir, CImage* image, float radius, const gCRect* area) {
    using Image1 = int32_t (*)(CImage*, float, int32_t);
    using Image2 = int32_t (*)(CImage*, float);
    using Colour = int32_t (*)(CImage*, float, const gCRect*);
    static const Image1 one[] = {&CBlur::GaussianBlur, &CBlur::GaussianBlurH,
                                 &CBlur::GaussianBlurV};
    static const Image2 two[] = {&CBlur::GaussianBlur16x2, &CBlur::GaussianBlur16x2H,
                                 &CBlur::GaussianBlur16x2V};
    static const Image2 word[] = {&CBlur::GaussianBlur24, &CBlur::GaussianBlur24H,
                                  &CBlur::GaussianBlur24V};
    static const Colour rgb[] = {&CBlur::GaussianBlurRGB, &CBlur::GaussianBlurRGBH,
                                 &CBlur::GaussianBlurRGBV};
    static const Colour rgba[] = {&CBlur::GaussianBlurRGBA, &CBlur::GaussianBlurRGBAH,
                                  &CBlur::GaussianBlurRGBAV};
    switch (family) {
    case kLowChannel:
        return one[dir](image, radius, 0);
    case kHighChannel:
        return one[dir](image, radius, 1);
    case kBothChannels:
        return two[dir](image, radius);
    case kWholeWord:
        return word[dir](image, radius);
    case kRGB:
        return rgb[dir](image, radius, area);
    default:
        return rgba[dir](image, radius, area);
    }
}

void PlainDriver(Family family, Dir dir, std::vector<uint32_t>& px, int32_t w, int32_t h,
                 float radius, gCRect area) {
    switch (family) {
    case kLowChannel:
        return PlainBlur(px, w, h, kLow, radius, dir);
    case kHighChannel:
        return PlainBlur(px, w, h, kHigh, radius, dir);
    case kBothChannels:
        PlainBlur(px, w, h, kLow, radius, dir);
        return PlainBlur(px, w, h, kHigh, radius, dir);
    case kWholeWord:
        return PlainBlur(px, w, h, kWord, radius, dir);
    default:
        return PlainColourBlur(px, w, h, area, radius, dir, family == kRGBA);
    }
}

class BlurDrivers : public ::testing::TestWithParam<DriverCase> {};

TEST_P(BlurDrivers, EqualThePlainBlurOnOddSizes) {
    const DriverCase& c = GetParam();
    std::mt19937 rng(300u + uint32_t(c.family) * 3u + uint32_t(c.dir));
    for (const testimg::Size& s : BlurSizes()) {
        for (float radius : kRadii) {
            CImage image(s.width, s.height);
            std::vector<uint32_t> px =
                RandomWords(rng, size_t(s.width) * s.height, c.family == kWholeWord ? kWord : kLow);
            testimg::Store(image, px);
            const gCRect whole(0, 0, s.width, s.height);
            ASSERT_EQ(RunDriver(c.family, c.dir, &image, radius, nullptr), 1);
            PlainDriver(c.family, c.dir, px, s.width, s.height, radius, whole);
            ASSERT_EQ(testimg::Load(image), px)
                << s.width << "x" << s.height << " radius " << radius;
        }
    }
}

std::vector<DriverCase> AllDriverCases() {
    std::vector<DriverCase> cases;
    for (int f = 0; f < 6; ++f) {
        for (int d = 0; d < 3; ++d) {
            cases.push_back({Family(f), Dir(d)});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Forms, BlurDrivers, ::testing::ValuesIn(AllDriverCases()),
                         [](const auto& info) {
                             return std::string(kFamilyNames[info.param.family]) +
                                    kDirNames[info.param.dir];
                         });

// The line kernels, one row or a group of columns, equal the plain blur of
// each line.
TEST(BlurKernels, EachKernelEqualsThePlainLine) {
    std::mt19937 rng(41);
    const int32_t w = 11, h = 37;
    for (uint32_t d : {1u, 2u, 8u, 64u}) {
        for (uint32_t f : {0u, 1000u, 38336u, 65535u}) {
            const PlainParams p{d, f, float(f) / 65536.0f};
            struct Kernel {
                Kind kind;
                bool both;
            };
            for (Kernel k : {Kernel{kLow, false}, Kernel{kHigh, false}, Kernel{kLow, true},
                             Kernel{kWord, false}}) {
                std::vector<uint32_t> px = RandomWords(rng, size_t(w) * h, k.kind);
                std::vector<uint32_t> expected = px;
                auto plainRow = [&](int32_t y, Kind kind) {
                    std::vector<int64_t> line;
                    for (int32_t x = 0; x < w; ++x) {
                        line.push_back(Get(expected[size_t(y) * w + x], kind));
                    }
                    line = PlainLine(line, p, kind == kWord, true);
                    for (int32_t x = 0; x < w; ++x) {
                        expected[size_t(y) * w + x] =
                            Put(expected[size_t(y) * w + x], kind, line[size_t(x)]);
                    }
                };
                auto plainColumn = [&](int32_t x, Kind kind) {
                    std::vector<int64_t> line;
                    for (int32_t y = 0; y < h; ++y) {
                        line.push_back(Get(expected[size_t(y) * w + x], kind));
                    }
                    line = PlainLine(line, p, kind == kWord, false);
                    for (int32_t y = 0; y < h; ++y) {
                        expected[size_t(y) * w + x] =
                            Put(expected[size_t(y) * w + x], kind, line[size_t(y)]);
                    }
                };
                // Row 0 across, columns 0-3 with V4, column 6 with V1.
                uint32_t* row = px.data();
                uint32_t* col = px.data();
                if (k.kind == kWord) {
                    CBlur::Blur24H(row, d, p.f, w);
                    CBlur::Blur24V4(col, d, p.f, h, w);
                    CBlur::Blur24V1(col + 6, d, p.f, h, w);
                } else if (k.both) {
                    CBlur::BlurH_16x2(row, d, f, w);
                    CBlur::BlurV4_16x2(col, d, f, h, w);
                    CBlur::BlurV1_16x2(col + 6, d, f, h, w);
                } else if (k.kind == kHigh) {
                    CBlur::BlurHi16H(row, d, f, w);
                    CBlur::BlurHi16V4(col, d, f, h, w);
                    CBlur::BlurHi16V1(col + 6, d, f, h, w);
                } else {
                    CBlur::BlurH(row, d, f, w);
                    CBlur::BlurV4(col, d, f, h, w);
                    CBlur::BlurV1(col + 6, d, f, h, w);
                }
                for (Kind kind : {k.kind, k.both ? kHigh : k.kind}) {
                    if (kind == k.kind && k.both && kind == kHigh) {
                        continue;
                    }
                    plainRow(0, kind);
                    for (int32_t x : {0, 1, 2, 3, 6}) {
                        plainColumn(x, kind);
                    }
                    if (!k.both) {
                        break;
                    }
                }
                ASSERT_EQ(px, expected)
                    << "d " << d << " f " << f << " kind " << k.kind << (k.both ? " both" : "");
            }
        }
    }
}

// ---- The radius rule and the behaviour worth knowing. ----

TEST(BlurRadius, DistanceAndFractionFromTheRadius) {
    struct Case {
        float radius;
        uint32_t d;
        float fraction;
    };
    for (Case c : {Case{1.0f, 2, 0.0f}, Case{3.0f, 4, 0.5849625f}, Case{0.5f, 1, 0.5849625f},
                   Case{8.0f, 16, 0.0f}, Case{40.0f, 64, 0.321928f}}) {
        blurline::Params p;
        ASSERT_TRUE(blurline::FromRadius(c.radius, p));
        EXPECT_EQ(p.d, c.d) << "radius " << c.radius;
        EXPECT_NEAR(p.f, c.fraction, 1e-5) << "radius " << c.radius;
        EXPECT_EQ(p.f16, uint32_t(int32_t(p.f * 65536.0f)));
    }
}

TEST(BlurRadius, TinyRadiusChangesNothingAndSucceeds) {
    CImage image(6, 4), empty;
    std::mt19937 rng(3);
    const std::vector<uint32_t> px = testimg::RandomPixels(rng, 24);
    testimg::Store(image, px);
    for (float radius : {0.0f, 0.0000001f, -3.0f, std::nanf("")}) {
        EXPECT_EQ(CBlur::GaussianBlur(&image, radius, 0), 1);
        EXPECT_EQ(CBlur::GaussianBlur24(&image, radius), 1);
        EXPECT_EQ(CBlur::GaussianBlur16x2V(&image, radius), 1);
        EXPECT_EQ(CBlur::GaussianBlur(&empty, radius, 1), 1) << "nothing to do comes first";
    }
    EXPECT_EQ(testimg::Load(image), px);
}

TEST(BlurRadius, ViewThatDidNotLockFails) {
    CImage empty;
    CImNav view(&empty);
    EXPECT_EQ(CBlur::GaussianBlur(view, 2.0f, 0), 0);
    EXPECT_EQ(CBlur::GaussianBlur(static_cast<CImage*>(nullptr), 2.0f, 0), 0);
    EXPECT_EQ(CBlur::GaussianBlur16x2(&empty, 2.0f), 0);
    EXPECT_EQ(CBlur::GaussianBlurRGB(&empty, 2.0f, nullptr), 0);
    EXPECT_EQ(CBlur::GaussianBlurRGBA(nullptr, 2.0f, nullptr), 0);
}

std::vector<uint32_t> RowOfLow(std::initializer_list<uint32_t> values, uint32_t high) {
    std::vector<uint32_t> px;
    for (uint32_t v : values) {
        px.push_back((high << 16) | v);
    }
    return px;
}

TEST(BlurLines, RadiusOneIsOneQuarterHalfQuarterPass) {
    // d = 2 with no fraction: the first pass is the identity.
    CImage image(7, 1);
    testimg::Store(image, RowOfLow({0, 0, 0, 400, 0, 0, 0}, 0xBEEF));
    ASSERT_EQ(CBlur::GaussianBlurH(&image, 1.0f, 0), 1);
    EXPECT_EQ(testimg::Load(image), RowOfLow({0, 0, 100, 200, 100, 0, 0}, 0xBEEF));
}

TEST(BlurLines, LineShorterThanTheDistance) {
    // Radius 8 gives d = 16; on 3 pixels d becomes 2 with full weights.
    CImage image(3, 1);
    testimg::Store(image, RowOfLow({0, 0, 4000}, 7));
    ASSERT_EQ(CBlur::GaussianBlurH(&image, 8.0f, 0), 1);
    EXPECT_EQ(testimg::Load(image), RowOfLow({750, 1500, 2750}, 7));
}

TEST(BlurLines, ConstantLinesStayConstant) {
    for (float radius : kRadii) {
        CImage image(19, 13), word(19, 13);
        CImNav(&image).Fill(CPixel(0x9ABC1234u));
        CImNav(&word).Fill(CPixel(0x00BC1234u)); // the 24-bit blur takes values below 2^24
        ASSERT_EQ(CBlur::GaussianBlur(&image, radius, 0), 1);
        ASSERT_EQ(CBlur::GaussianBlur(&image, radius, 1), 1);
        ASSERT_EQ(CBlur::GaussianBlurRGBA(&image, radius, nullptr), 1);
        ASSERT_EQ(CBlur::GaussianBlur24(&word, radius), 1);
        EXPECT_EQ(testimg::Load(image), std::vector<uint32_t>(19 * 13, 0x9ABC1234u));
        EXPECT_EQ(testimg::Load(word), std::vector<uint32_t>(19 * 13, 0x00BC1234u));
    }
}

// Odd words from 2^23 up, where adding a half and truncating rounds to
// even, and the largest 24-bit word, through every 24-bit kernel and
// driver. With the fraction 0 or 1 the first pass's weights (0, 1, 0 or
// 1/4, 1/2, 1/4) give the word itself exactly in single precision, so only
// the rounding could move it.
const uint32_t kTopWords[] = {0x00800001u, 0x00C00003u, 0x00FFFFFFu};

TEST(BlurLines, Constant24BitLinesStayConstantThroughTheKernels) {
    const int32_t w = 12, h = 37;
    using Run = void (*)(uint32_t * px, uint32_t d, float f);
    struct Kernel {
        const char* name;
        Run run;
    };
    const Kernel kernels[] = {
        {"Blur24H",
         [](uint32_t* px, uint32_t d, float f) {
             for (int32_t y = 0; y < h; ++y) {
                 CBlur::Blur24H(px + y * w, d, f, w);
             }
         }},
        {"Blur24V4",
         [](uint32_t* px, uint32_t d, float f) {
             for (int32_t x = 0; x < w; x += 4) {
                 CBlur::Blur24V4(px + x, d, f, h, w);
             }
         }},
        {"Blur24V1",
         [](uint32_t* px, uint32_t d, float f) {
             for (int32_t x = 0; x < w; ++x) {
                 CBlur::Blur24V1(px + x, d, f, h, w);
             }
         }},
    };
    for (const Kernel& k : kernels) {
        for (uint32_t d : {1u, 2u, 8u, 64u}) { // 64: longer than the lines, so f = 1
            for (float f : {0.0f, 1.0f}) {
                for (uint32_t word : kTopWords) {
                    std::vector<uint32_t> px(size_t(w) * h, word);
                    k.run(px.data(), d, f);
                    EXPECT_EQ(px, std::vector<uint32_t>(size_t(w) * h, word))
                        << k.name << " d " << d << " f " << f << " word " << std::hex << word;
                }
            }
        }
    }
}

TEST(BlurLines, Constant24BitImagesStayConstantThroughTheDrivers) {
    // 37 x 29: radius 1 and 2 (d = 2 and 4, f = 0) sweep the columns,
    // radius 8 (d = 16, f = 0) and 40 (d = 64, halved to fit, f = 1) go in
    // strips. 6 x 5: d is halved to 4 with f = 1 from radius 8 on, and
    // swept.
    for (testimg::Size s : {testimg::Size{37, 29}, testimg::Size{6, 5}}) {
        for (float radius : {1.0f, 2.0f, 8.0f, 40.0f}) {
            for (Dir dir : {kBoth, kAcross, kDown}) {
                for (uint32_t word : kTopWords) {
                    CImage image(s.width, s.height);
                    CImNav(&image).Fill(CPixel(word));
                    ASSERT_EQ(RunDriver(kWholeWord, dir, &image, radius, nullptr), 1);
                    EXPECT_EQ(testimg::Load(image),
                              std::vector<uint32_t>(size_t(s.width) * s.height, word))
                        << "GaussianBlur24" << kDirNames[dir] << " " << s.width << "x" << s.height
                        << " radius " << radius << " word " << std::hex << word;
                }
            }
        }
    }
}

TEST(BlurLines, AlternatingLinesRoundAcrossAndTruncateDown) {
    const int32_t n = 12;
    CImage row(n, 1), column(1, n);
    std::vector<uint32_t> alternating;
    for (int32_t i = 0; i < n; ++i) {
        alternating.push_back(uint32_t(i & 1));
    }
    testimg::Store(row, alternating);
    testimg::Store(column, alternating);
    ASSERT_EQ(CBlur::GaussianBlur(&row, 1.0f, 0), 1);
    ASSERT_EQ(CBlur::GaussianBlur(&column, 1.0f, 0), 1);
    const std::vector<uint32_t> across = testimg::Load(row), down = testimg::Load(column);
    for (int32_t i = 1; i + 1 < n; ++i) {
        EXPECT_EQ(across[size_t(i)], 1u) << "across, pixel " << i;
        EXPECT_EQ(down[size_t(i)], 0u) << "down, pixel " << i;
    }
}

TEST(BlurLines, TheOtherChannelIsUntouched) {
    std::mt19937 rng(8);
    const std::vector<uint32_t> px = testimg::RandomPixels(rng, 31 * 9);
    for (int32_t high : {0, 1}) {
        CImage image(31, 9);
        testimg::Store(image, px);
        ASSERT_EQ(CBlur::GaussianBlur(&image, 5.0f, high), 1);
        const std::vector<uint32_t> out = testimg::Load(image);
        const uint32_t kept = high ? 0x0000FFFFu : 0xFFFF0000u;
        size_t changed = 0;
        for (size_t i = 0; i < px.size(); ++i) {
            ASSERT_EQ(out[i] & kept, px[i] & kept) << "pixel " << i;
            changed += out[i] != px[i];
        }
        EXPECT_GT(changed, px.size() / 2);
    }
}

TEST(BlurLines, RGBBlurLeavesAlphaUntouched) {
    std::mt19937 rng(12);
    const std::vector<uint32_t> px = testimg::RandomPixels(rng, 17 * 23);
    CImage image(17, 23);
    testimg::Store(image, px);
    ASSERT_EQ(CBlur::GaussianBlurRGB(&image, 3.0f, nullptr), 1);
    const std::vector<uint32_t> out = testimg::Load(image);
    for (size_t i = 0; i < px.size(); ++i) {
        ASSERT_EQ(out[i] >> 24, px[i] >> 24) << "pixel " << i;
    }
}

// A view five columns wide inside a wider image: the columns are blurred
// as one group of four and one single column, and nothing outside the view
// changes.
TEST(BlurLines, WidthFiveViewBlursOnlyItsColumns) {
    std::mt19937 rng(21);
    const int32_t w = 9, h = 14;
    std::vector<uint32_t> px = testimg::RandomPixels(rng, size_t(w) * h);
    CImage image(w, h);
    testimg::Store(image, px);
    const gCRect rect(2, 1, 7, 13);
    {
        CImNav view(&image, &rect);
        ASSERT_EQ(view.GetWidth(), 5);
        ASSERT_EQ(CBlur::GaussianBlurV(view, 6.0f, 1), 1);
    }
    // Plain: the view's block blurred down, written back into the picture.
    std::vector<uint32_t> block;
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        for (int32_t x = rect.left; x < rect.right; ++x) {
            block.push_back(px[size_t(y) * w + x]);
        }
    }
    std::vector<uint32_t> kernels = block;
    PlainBlur(block, 5, 12, kHigh, 6.0f, kDown);
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        for (int32_t x = rect.left; x < rect.right; ++x) {
            px[size_t(y) * w + x] = block[size_t(y - rect.top) * 5 + x - rect.left];
        }
    }
    EXPECT_EQ(testimg::Load(image), px);

    // The same as one V4 and one V1 kernel call.
    blurline::Params p;
    ASSERT_TRUE(blurline::FromRadius(6.0f, p));
    CBlur::BlurHi16V4(kernels.data(), p.d, p.f16, 12, 5);
    CBlur::BlurHi16V1(kernels.data() + 4, p.d, p.f16, 12, 5);
    EXPECT_EQ(kernels, block);
}

// A colour blur whose area reaches past the image works on the image's part
// only: the rest of the area is blurred in as zeros.
TEST(BlurColour, AreaPartlyOutsideTheImage) {
    std::mt19937 rng(33);
    const int32_t w = 13, h = 10;
    for (int32_t withAlpha : {0, 1}) {
        for (gCRect area : {gCRect(-4, -3, 6, 5), gCRect(8, 6, 20, 16), gCRect(-2, 2, 15, 7),
                            gCRect(3, 2, 9, 8)}) {
            const std::vector<uint32_t> start = testimg::RandomPixels(rng, size_t(w) * h);
            std::vector<uint32_t> expected = start;
            CImage image(w, h);
            testimg::Store(image, start);
            const int32_t r = withAlpha ? CBlur::GaussianBlurRGBA(&image, 2.5f, &area)
                                        : CBlur::GaussianBlurRGB(&image, 2.5f, &area);
            ASSERT_EQ(r, 1);
            PlainColourBlur(expected, w, h, area, 2.5f, kBoth, withAlpha);
            EXPECT_EQ(testimg::Load(image), expected) << "area " << area.left << "," << area.top
                                                      << "," << area.right << "," << area.bottom;
        }
    }
}

TEST(BlurColour, AreaMissingTheImageChangesNothing) {
    CImage image(8, 8);
    CImNav(&image).Fill(CPixel(0x80FF4020u));
    const gCRect away(20, 20, 30, 30), empty(2, 2, 2, 6);
    EXPECT_EQ(CBlur::GaussianBlurRGB(&image, 2.0f, &away), 1);
    EXPECT_EQ(CBlur::GaussianBlurRGBA(&image, 2.0f, &empty), 0) << "no temporary for no area";
    EXPECT_EQ(testimg::Load(image), std::vector<uint32_t>(64, 0x80FF4020u));
}

void* FailingAlloc(size_t) {
    return nullptr;
}

// Without memory for its strips the blur works on each line in place, with
// the same result.
TEST(BlurMemory, InPlaceWhenScratchCannotBeHad) {
    std::mt19937 rng(55);
    const int32_t w = 37, h = 29;
    const std::vector<uint32_t> px = RandomWords(rng, size_t(w) * h, kWord);
    for (float radius : kRadii) {
        CImage image(w, h);
        testimg::Store(image, px);
        std::vector<uint32_t> expected = px;
        PlainBlur(expected, w, h, kLow, radius, kBoth);
        PlainBlur(expected, w, h, kWord, radius, kBoth);
        {
            CImNav view(&image);
            gCMemory::m_pAllocProc = &FailingAlloc;
            const int32_t low = CBlur::GaussianBlur(view, radius, 0);
            const int32_t word = CBlur::GaussianBlur24(&image, radius);
            gCMemory::ResetProcs();
            ASSERT_EQ(low, 1);
            ASSERT_EQ(word, 1);
        }
        EXPECT_EQ(testimg::Load(image), expected) << "radius " << radius;
    }
}

TEST(BlurCopies, ChannelCopies) {
    CImage image(3, 2);
    testimg::Store(image, {0x12345678u, 0xFFFF0000u, 0x0000FFFFu, 1u, 0x10000u, 0xABCDEF01u});
    ASSERT_EQ(CBlur::CopyFromHiToLow16(&image), eNoError);
    EXPECT_EQ(testimg::Load(image),
              (std::vector<uint32_t>{0x12341234u, 0xFFFFFFFFu, 0u, 0u, 0x10001u, 0xABCDABCDu}));
    testimg::Store(image, {0x12345678u, 0xFFFF0000u, 0x0000FFFFu, 1u, 0x10000u, 0xABCDEF01u});
    const gCRect right(1, 0, 3, 2);
    CImNav view(&image, &right);
    ASSERT_EQ(CBlur::CopyFromLowToHi16(view), eNoError);
    EXPECT_EQ(testimg::Load(image),
              (std::vector<uint32_t>{0x12345678u, 0u, 0xFFFFFFFFu, 1u, 0u, 0xEF01EF01u}));
    CImage empty;
    EXPECT_EQ(CBlur::CopyFromHiToLow16(&empty), eOutOfMemory);
    EXPECT_EQ(CBlur::CopyFromLowToHi16(static_cast<CImage*>(nullptr)), eOutOfMemory);
}

} // namespace
