// The lit renderer: exact values of its formulas, and every optimised path
// and split over the workers against the plain reference.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "paint/relight/Relight.h"
#include "paint/relight/StandardRenderer.h"
#include "testsupport/imaging/PixelPaths.h"
#include "testsupport/paint/RelightReference.h"

namespace {

constexpr CNormal kFlat{0, 0, -1024};

CStandardRenderer& Standard() {
    static CStandardRenderer renderer;
    static const error made = renderer.SetupRenderer();
    EXPECT_EQ(made, eNoError);
    return renderer;
}

TEST(Relight, FlatBarePixel) {
    const CStandardRenderer& r = Standard();
    // Light 1: d = 3750, s = 23, soft (23 × 255) >> 1 = 2932, q = 584;
    // light 2: d = 3484, s = 11, soft (11 × 88) >> 1 = 484, q = 96.
    EXPECT_EQ(r.HighlightOf(0, 3750), 2932);
    EXPECT_EQ(r.HighlightOf(1, 3484), 484);
    EXPECT_EQ((2932 * 51) >> 8, 584);
    EXPECT_EQ((484 * 51) >> 8, 96);
    // Diffuse 172 and 78 of white lights on 0xFF, 0xFF, 0xFA, the
    // highlights untinted: red (250 × 255 × 255 + 680 × 255) >> 8 = 0xFAB2,
    // blue (250 × 255 × 250 + 680 × 255) >> 8 = 0xF5D5.
    EXPECT_EQ(uint32_t(r.RenderPixel(kFlat, 0xFFFFFFFAu, nullptr, 51, 0)), 0xFFFAFAF5u);
    // No highlight weight: diffuse alone, 0xF80C and 0xF3E6.
    EXPECT_EQ(uint32_t(r.RenderPixel(kFlat, 0xFFFFFFFAu, nullptr, 0, 0)), 0xFFF8F8F3u);
}

TEST(Relight, WhitePaintSteepNormalSaturates) {
    const CStandardRenderer& r = Standard();
    const CNormal n = relight::NormalOf(-60, -755);
    EXPECT_EQ(uint32_t(r.RenderPixel(n, 0xFFFFFFFFu, nullptr, 255, 0)), 0xFFFFFFFFu);
}

TEST(Relight, Normals) {
    const struct {
        int32_t dx, dy;
        CNormal n;
    } cases[] = {
        {0, 0, {0, 0, -1024}},
        {1, 0, {1, 0, -1023}},
        {1200, 0, {723, 0, -723}},
        {-60, -755, {-43, -544, -865}},
        {131070, -131070, {723, -723, -7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.dx << "," << c.dy);
        const CNormal n = relight::NormalOf(c.dx, c.dy);
        const CNormal ref = ReferenceNormal(c.dx, c.dy);
        EXPECT_EQ(n.x, ref.x);
        EXPECT_EQ(n.y, ref.y);
        EXPECT_EQ(n.z, ref.z);
        EXPECT_EQ(n.x, c.n.x);
        EXPECT_EQ(n.y, c.n.y);
        EXPECT_EQ(n.z, c.n.z);
    }
}

TEST(Relight, HighlightWeights) {
    const struct {
        uint32_t paper, byte, a, weight;
    } cases[] = {
        {51, 200, 0, 51},  {51, 0, 0, 51},     {51, 200, 255, 200}, {51, 0, 255, 1},
        {51, 50, 255, 51}, {51, 51, 255, 51},  {51, 200, 128, 126}, {51, 0, 128, 26},
        {0, 0, 255, 0},    {0, 255, 255, 255}, {255, 0, 254, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(relight::Weight(c.paper, c.byte, c.a), c.weight)
            << c.paper << " " << c.byte << " " << c.a;
    }
}

TEST(Relight, SettingsToConstants) {
    const struct {
        float relief, highlight, environment;
        uint32_t k, hp, ep;
    } cases[] = {
        {0.0f, 0.2f, 0.0f, 0, 51, 0},
        {0.5f, 0.2f, 0.0f, 131072, 51, 0},
        {1.0f, 1.0f, 1.0f, 262144, 255, 256},
        {-3.0f, 7.0f, 0.5f, 0, 255, 128},
        {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
         -std::numeric_limits<float>::infinity(), 131072, 51, 0},
    };
    for (const auto& c : cases) {
        const relight::Params p =
            relight::ParamsFrom(c.relief, 0xFFFFFFFAu, c.highlight, c.environment);
        EXPECT_EQ(p.k, c.k) << c.relief;
        EXPECT_EQ(p.hp, c.hp) << c.highlight;
        EXPECT_EQ(p.ep, c.ep) << c.environment;
        EXPECT_EQ(p.paper, 0xFFFFFFFAu);
    }
    // Grain 200 over depth 16: the grain counts 0, 2 and 4 times.
    EXPECT_EQ(relight::Height(0x00C80010u, 0), 16u);
    EXPECT_EQ(relight::Height(0x00C80010u, 131072), 416u);
    EXPECT_EQ(relight::Height(0x00C80010u, 262144), 816u);
    // The product wraps in 32 bits.
    EXPECT_EQ(relight::Height(0xFFFFFFFFu, 262144), 0xFFFFu + ((0xFFFFu * 262144u) >> 16));
}

TEST(Relight, SpillsOverflowIntoTheOtherChannels) {
    const struct {
        uint32_t r, g, b; // after the shift by 8
        uint32_t pixel;
    } cases[] = {
        {0x0100, 0x0200, 0x0300, 0xFF010203u},  // no overflow
        {0x1FFFF, 0, 0, 0xFFFF8080u},           // red spills half its excess each way
        {0x1000, 0x1FFFF, 0, 0xFF90FF80u},      // green into red and blue
        {0xF000, 0x2FFFF, 0, 0xFFFFFFFFu},      // green's spill overflows red: into blue
        {0x0100, 0x0200, 0x13FFF, 0xFF2122FFu}, // blue into red and green
        {0xFF00, 0, 0x13FFF, 0xFFFF3FFFu},      // blue's spill overflows red: into green
        {0, 0xF000, 0x12FFF, 0xFF20FFFFu},      // and green's overflow back into red
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            uint32_t(relight::Finish(int32_t(c.r << 8), int32_t(c.g << 8), int32_t(c.b << 8))),
            c.pixel)
            << std::hex << c.r << " " << c.g << " " << c.b;
    }
    EXPECT_EQ(uint32_t(relight::Finish(-5, 0x10000, -1)), 0xFF000100u) << "negatives to 0";
}

TEST(Relight, EnvironmentMap) {
    CStandardRenderer renderer;
    ASSERT_EQ(renderer.SetupRenderer(), eNoError);
    CImage map(5, 3);
    {
        CImNav nav(&map);
        for (int32_t y = 0; y < 3; ++y) {
            for (int32_t x = 0; x < 5; ++x) {
                nav.Row(y)[x] = 0x00102030u + uint32_t(x) * 0x00100000u + uint32_t(y) * 0x10u;
            }
        }
    }
    ASSERT_EQ(renderer.AttachEnvironment(&map, 0), eNoError);
    CImNav env(&map);
    // The flat normal samples the centre pixel exactly.
    EXPECT_EQ(uint32_t(renderer.EnviroPixel(env, kFlat)), 0xFF000000u | env.Row(1)[2]);
    // Nx = 100: u = (100 × 2 + 4 × 512) >> 2 = 562, column 2 and 3 by 50.
    CPixel mixed = env.Row(1)[2];
    CPixel::Blend255Proc(&mixed, 50, env.Row(1)[3]);
    EXPECT_EQ(uint32_t(renderer.EnviroPixel(env, CNormal{100, 0, -1019})),
              0xFF000000u | uint32_t(mixed));
    // The corner normals stay in the map.
    EXPECT_EQ(uint32_t(renderer.EnviroPixel(env, CNormal{1024, 1024, 0})),
              0xFF000000u | env.Row(2)[4]);
    // With an environment weight the reflection adds e × ew × c.
    const uint32_t without = renderer.RenderPixel(kFlat, 0xFFFFFFFAu, &env, 51, 0);
    EXPECT_EQ(without, 0xFFFAFAF5u);
    const uint32_t with = renderer.RenderPixel(kFlat, 0xFF808080u, &env, 0, 16);
    const uint32_t plain = renderer.RenderPixel(kFlat, 0xFF808080u, nullptr, 0, 16);
    EXPECT_GT(with & 0xFF0000u, plain & 0xFF0000u);

    // A 1-pixel map: every neighbour is the pixel itself.
    CImage one(1, 1);
    {
        CImNav nav(&one);
        nav.Row(0)[0] = 0x00123456u;
    }
    CImNav single(&one);
    for (const CNormal n : {kFlat, CNormal{1023, 1023, 0}, CNormal{-1023, -1023, 0}}) {
        EXPECT_EQ(uint32_t(renderer.EnviroPixel(single, n)), 0xFF123456u);
    }
}

// Random layers of any words, and a target of its own size.
struct Layers {
    int32_t w, h;
    std::vector<uint32_t> l0, l1, l2;

    Layers(int32_t width, int32_t height, std::mt19937& rng) : w(width), h(height) {
        const size_t n = size_t(w) * size_t(h);
        l0.resize(n);
        l1.resize(n);
        l2.resize(n);
        for (size_t i = 0; i < n; ++i) {
            l0[i] = rng();
            l1[i] = rng();
            l2[i] = rng();
            // Plenty of bare and fully covered pixels, and flat patches.
            switch (rng() % 4) {
            case 0:
                l0[i] &= 0x00FFFFFFu;
                break;
            case 1:
                l0[i] |= 0xFF000000u;
                break;
            case 2:
                l1[i] &= 0x00FF0000u;
                break;
            default:
                break;
            }
        }
    }
};

relight::Job JobOf(const Layers& layers, std::vector<uint32_t>& target, int32_t tw, int32_t th,
                   const relight::Params& params) {
    relight::Job job;
    job.l0 = layers.l0.data();
    job.l1 = layers.l1.data();
    job.l2 = layers.l2.data();
    job.width = layers.w;
    job.height = layers.h;
    job.target = target.data();
    job.targetWidth = tw;
    job.targetHeight = th;
    job.targetStride = tw;
    job.params = params;
    job.first = 0;
    job.last = layers.h - 1;
    return job;
}

class PartsSeam {
public:
    explicit PartsSeam(int32_t n) { relight::ForceParts(n); }
    ~PartsSeam() { relight::ForceParts(0); }
};

TEST(Relight, EveryPathAndSplitEqualsTheReference) {
    std::mt19937 rng(2323);
    const struct {
        int32_t w, h, tw, th;
    } sizes[] = {{1, 1, 1, 1},     {1, 29, 1, 29},   {31, 1, 31, 1},   {37, 23, 37, 23},
                 {37, 23, 30, 40}, {37, 23, 41, 19}, {300, 5, 300, 5}, {2, 2, 2, 2}};
    const float reliefs[] = {0.0f, 0.5f, 1.0f, 0.37f};
    int32_t round = 0;
    for (const auto& size : sizes) {
        const Layers layers(size.w, size.h, rng);
        for (int32_t spans = 0; spans < 2; ++spans) {
            const relight::Params params =
                relight::ParamsFrom(reliefs[round % 4], rng(), float(rng() % 256) / 255.0f,
                                    float(rng() % 256) / 255.0f);
            ++round;
            std::vector<int32_t> starts(size_t(size.h)), ends(size_t(size.h));
            for (int32_t y = 0; y < size.h; ++y) {
                const int32_t a = int32_t(rng() % uint32_t(size.w + 4)) - 2;
                const int32_t b = int32_t(rng() % uint32_t(size.w + 4)) - 2;
                starts[size_t(y)] = rng() % 5 == 0 ? 0x7FFFFFFF : std::min(a, b);
                ends[size_t(y)] = rng() % 5 == 0 ? -1 : std::max(a, b);
            }
            const size_t tn = size_t(size.tw) * size_t(size.th);
            std::vector<uint32_t> expected(tn, 0x5A5A5A5Au);
            relight::Job job = JobOf(layers, expected, size.tw, size.th, params);
            if (spans) {
                job.starts = starts.data();
                job.ends = ends.data();
                job.spanRows = size.h;
                job.first = int32_t(rng() % uint32_t(size.h));
                job.last = job.first + int32_t(rng() % uint32_t(size.h));
            }
            ReferenceRelight(Standard(), job, nullptr);
            for (CPixelPaths::EPath path : PresentPixelPaths()) {
                CForcePixelPath force(path);
                for (int32_t parts : {1, 2, 3, 8}) {
                    SCOPED_TRACE(::testing::Message()
                                 << size.w << "x" << size.h << " into " << size.tw << "x" << size.th
                                 << (spans ? " spans " : " whole ") << CPixelPaths::Name(path)
                                 << " parts " << parts);
                    PartsSeam seam(parts);
                    std::vector<uint32_t> got(tn, 0x5A5A5A5Au);
                    relight::Job mine = job;
                    mine.target = got.data();
                    relight::Run(Standard(), mine, nullptr);
                    ASSERT_EQ(got, expected);
                }
            }
        }
    }
}

TEST(Relight, NormalKernelsEqualThePlainOneOnWideHeights) {
    std::mt19937 rng(99);
    const int32_t n = 1001;
    std::vector<uint32_t> left(n), right(n), up(n), down(n);
    for (int32_t i = 0; i < n; ++i) {
        // Heights reach 0x1FFFE; small differences are where rounding is close.
        const uint32_t base = rng() % 0x1FFFFu;
        const uint32_t spread = i % 3 == 0 ? 0x1FFFFu : i % 3 == 1 ? 2000u : 3u;
        left[size_t(i)] = base;
        right[size_t(i)] = std::min<uint32_t>(0x1FFFEu, base + rng() % spread);
        up[size_t(i)] = rng() % 0x1FFFFu;
        down[size_t(i)] = i % 7 == 0 ? up[size_t(i)] : rng() % 0x1FFFFu;
    }
    std::vector<int32_t> ex(n), ey(n), ez(n);
    for (int32_t i = 0; i < n; ++i) {
        const CNormal r = ReferenceNormal(int32_t(left[size_t(i)] - right[size_t(i)]),
                                          int32_t(up[size_t(i)] - down[size_t(i)]));
        ex[size_t(i)] = r.x;
        ey[size_t(i)] = r.y;
        ez[size_t(i)] = r.z;
    }
    for (CPixelPaths::EPath path : PresentPixelPaths()) {
        SCOPED_TRACE(CPixelPaths::Name(path));
        std::vector<int32_t> x(n), y(n), z(n);
        relight::NormalsFor(path)(left.data(), right.data(), up.data(), down.data(), n, x.data(),
                                  y.data(), z.data());
        EXPECT_EQ(x, ex);
        EXPECT_EQ(y, ey);
        EXPECT_EQ(z, ez);
    }
}

// Lights of any number, colour, direction and sign, some off, some
// without highlight, with highlight tables of any values.
struct TestLights {
    std::vector<CLight> lights;
    std::vector<int32_t> tables;
    CPixel fill = 0;

    // A light's highlight past its table: any values will do.
    static int32_t Past(int32_t i, int32_t d) { return (d * 37 + i * 1001) % 60001 - 30000; }

    int32_t Highlight(int32_t i, int32_t d) const {
        return d < CStandardRenderer::kHighlightSteps
                   ? tables[size_t(i) * CStandardRenderer::kHighlightSteps + size_t(d)]
                   : Past(i, d);
    }

    relight::Shading Shading() const {
        return relight::MakeShading(
            lights.data(), int32_t(lights.size()), fill, tables.data(),
            [](const void*, int32_t i, int32_t d) { return Past(i, d); }, this);
    }
};

// A vector of about 4096 in a random direction: up to 6 % longer, so that
// the highlight's d passes the tables now and then.
void RandomVector(std::mt19937& rng, int32_t* v) {
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    float x, y, z, length;
    do {
        x = unit(rng);
        y = unit(rng);
        z = unit(rng);
        length = std::sqrt(x * x + y * y + z * z);
    } while (length < 0.1f || length > 1.0f);
    const float scale = 4096.0f * (0.95f + 0.11f * float(rng() % 1001) / 1000.0f) / length;
    v[0] = int32_t(std::lround(x * scale));
    v[1] = int32_t(std::lround(y * scale));
    v[2] = int32_t(std::lround(z * scale));
}

// Bright lights, none negative, with high tables, push every channel past
// 16 bits, so that the overflow spills everywhere.
TestLights RandomLights(std::mt19937& rng, int32_t count, bool bright = false) {
    const auto brightColour = [&] {
        return 0xFF000000u | ((160 + rng() % 96) << 16) | ((160 + rng() % 96) << 8) |
               (160 + rng() % 96);
    };
    TestLights t;
    t.fill = bright ? CPixel(brightColour()) : CPixel(rng());
    for (int32_t i = 0; i < count; ++i) {
        CLight l;
        l.m_Colour = bright ? brightColour() : uint32_t(rng());
        l.m_fOff = rng() % (bright ? 8 : 4) == 0;
        l.m_fNegative = !bright && rng() % 3 == 0;
        l.m_nStrength = rng() % 3 == 0 ? 0 : int32_t(1 + rng() % 255);
        RandomVector(rng, l.m_aDirection);
        RandomVector(rng, l.m_aHalfVector);
        t.lights.push_back(l);
    }
    t.tables.resize(size_t(count) * CStandardRenderer::kHighlightSteps);
    for (int32_t& h : t.tables) {
        h = bright ? int32_t(30000 + rng() % 35281) : int32_t(rng() % 130561) - 65280;
    }
    return t;
}

// Shades n pixels from offset at with every path and compares each with
// the reference pixel by pixel.
void ExpectEveryShadeEqualsTheReference(const TestLights& t, const relight::Params& p,
                                        const std::vector<uint32_t>& l0,
                                        const std::vector<uint32_t>& l2,
                                        const std::vector<CNormal>& normals, int32_t at,
                                        int32_t n) {
    std::vector<int32_t> nx, ny, nz;
    for (const CNormal& v : normals) {
        nx.push_back(v.x);
        ny.push_back(v.y);
        nz.push_back(v.z);
    }
    std::vector<uint32_t> expected(l0.size(), 0x5A5A5A5Au);
    const auto highlight = [&](int32_t i, int32_t d) { return t.Highlight(i, d); };
    for (int32_t i = at; i < at + n; ++i) {
        const uint32_t pc = l0[size_t(i)];
        const CPixel colour = ReferencePaintOverPaper(p.paper, pc);
        const uint32_t hw = ReferenceWeight(p.hp, l2[size_t(i)] >> 24, pc >> 24);
        expected[size_t(i)] =
            ReferenceLitPixel(t.lights, t.fill, highlight, normals[size_t(i)], colour, hw);
    }
    const relight::Shading shading = t.Shading();
    for (CPixelPaths::EPath path : PresentPixelPaths()) {
        CForcePixelPath force(path);
        SCOPED_TRACE(::testing::Message() << CPixelPaths::Name(path) << " lights "
                                          << t.lights.size() << " at " << at << " n " << n);
        std::vector<uint32_t> got(l0.size(), 0x5A5A5A5Au);
        relight::ShadeFor(CPixelPaths::Active())(shading, p, l0.data() + at, l2.data() + at,
                                                 nx.data() + at, ny.data() + at, nz.data() + at, n,
                                                 got.data() + at);
        ASSERT_EQ(got, expected);
#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
        if (path == CPixelPaths::eAvx2) {
            // The AVX2 loop's twin that looks the highlight up lane by lane.
            std::vector<uint32_t> table(l0.size(), 0x5A5A5A5Au);
            relight::ShadeAvx2Table(shading, p, l0.data() + at, l2.data() + at, nx.data() + at,
                                    ny.data() + at, nz.data() + at, n, table.data() + at);
            ASSERT_EQ(table, expected);
        }
#endif
    }
}

TEST(Relight, ShadeKernelsEqualTheReference) {
    std::mt19937 rng(4711);
    const int32_t lengths[] = {1, 3, 4, 7, 8, 9, 15, 17, 31, 33, 255, 257, 1001};
    int32_t round = 0;
    for (int32_t count = 0; count <= relight::Shading::kMaxLights; ++count) {
        for (const int32_t n : lengths) {
            const TestLights lights = RandomLights(rng, count, round % 3 == 2);
            const int32_t at = int32_t(rng() % 5);
            const size_t size = size_t(at + n + 3);
            std::vector<uint32_t> l0(size), l2(size);
            std::vector<CNormal> normals(size);
            // Even rounds without highlight weight anywhere.
            const bool highlight = round++ % 2 == 1;
            for (size_t i = 0; i < size; ++i) {
                l0[i] = rng();
                l2[i] = highlight ? rng() : rng() & 0x00FFFFFFu;
                switch (rng() % 4) {
                case 0:
                    l0[i] &= 0x00FFFFFFu;
                    break;
                case 1:
                    l0[i] |= 0xFF000000u;
                    break;
                default:
                    break;
                }
                const int32_t spread = rng() % 3 == 0 ? 0x1FFFF : rng() % 2 == 0 ? 3000 : 3;
                const int32_t dx = int32_t(rng() % uint32_t(2 * spread + 1)) - spread;
                const int32_t dy = int32_t(rng() % uint32_t(2 * spread + 1)) - spread;
                normals[i] = rng() % 7 == 0 ? kFlat : relight::NormalOf(dx, dy);
            }
            const relight::Params p = relight::ParamsFrom(
                0.5f, rng(), highlight ? float(rng() % 256) / 255.0f : 0.0f, 0.0f);
            ExpectEveryShadeEqualsTheReference(lights, p, l0, l2, normals, at, n);
        }
    }
}

TEST(Relight, ShadeKernelsTakeWideLightsToo) {
    // A direction past 16 bits at no intensity, and a half vector past
    // 16 bits: the vector loops leave such lights to the plain one.
    std::mt19937 rng(5);
    TestLights lights = RandomLights(rng, 3);
    lights.lights[0].m_fOff = 0;
    lights.lights[0].m_Colour = uint32_t(lights.lights[0].m_Colour) & 0x00FFFFFFu;
    lights.lights[0].m_aDirection[0] = 40000;
    lights.lights[1].m_fOff = 0;
    lights.lights[1].m_nStrength = 9;
    lights.lights[1].m_aHalfVector[2] = -40000;
    ASSERT_FALSE(lights.Shading().narrow);
    const int32_t n = 45;
    std::vector<uint32_t> l0(n), l2(n);
    std::vector<CNormal> normals(n);
    for (int32_t i = 0; i < n; ++i) {
        l0[size_t(i)] = rng();
        l2[size_t(i)] = rng();
        normals[size_t(i)] =
            relight::NormalOf(int32_t(rng() % 4001) - 2000, int32_t(rng() % 41) - 20);
    }
    ExpectEveryShadeEqualsTheReference(lights, relight::ParamsFrom(0.5f, rng(), 0.7f, 0.0f), l0, l2,
                                       normals, 0, n);
}

TEST(Relight, ReferenceLitPixelIsTheRenderersPixel) {
    const CStandardRenderer& r = Standard();
    const std::vector<CLight> lights(r.Lights().GetData(),
                                     r.Lights().GetData() + r.Lights().GetSize());
    const auto highlight = [&](int32_t i, int32_t d) { return r.HighlightOf(i, d); };
    std::mt19937 rng(8);
    for (int32_t i = 0; i < 2000; ++i) {
        const CNormal n = i % 9 == 0 ? kFlat
                                     : relight::NormalOf(int32_t(rng() % 6001) - 3000,
                                                         int32_t(rng() % 6001) - 3000);
        const uint32_t colour = rng(), hw = rng() % 256;
        ASSERT_EQ(uint32_t(ReferenceLitPixel(lights, r.FillLight(), highlight, n, colour, hw)),
                  uint32_t(r.RenderPixel(n, colour, nullptr, hw, 0)))
            << i;
    }
}

TEST(Relight, HeightKernelsEqualTheFormula) {
    std::mt19937 rng(31);
    const uint32_t weights[] = {0, 1, 65536, 131072, 262144, 0xFFFFFFFFu, 0, 0};
    const int32_t lengths[] = {1, 7, 8, 9, 23, 258, 1001};
    for (uint32_t k : weights) {
        k = k == 0 ? rng() % 262145 : k;
        for (const int32_t n : lengths) {
            const int32_t at = int32_t(rng() % 4);
            std::vector<uint32_t> words(size_t(at + n));
            for (uint32_t& w : words) {
                w = rng();
            }
            std::vector<uint32_t> expected(static_cast<size_t>(n));
            for (int32_t i = 0; i < n; ++i) {
                const uint32_t v = words[size_t(at + i)];
                expected[size_t(i)] = (v & 0xFFFFu) + (((v >> 16) * k) >> 16);
            }
            for (CPixelPaths::EPath path : PresentPixelPaths()) {
                CForcePixelPath force(path);
                SCOPED_TRACE(::testing::Message()
                             << CPixelPaths::Name(path) << " k " << k << " n " << n);
                std::vector<uint32_t> got(static_cast<size_t>(n));
                relight::HeightsFor(CPixelPaths::Active())(words.data() + at, n, k, got.data());
                ASSERT_EQ(got, expected);
            }
        }
    }
}

TEST(Relight, EqualNeighboursAreFlatHoweverHigh) {
    // 3 × 3, the centre far above its equal neighbours: lit as flat paper.
    std::mt19937 rng(1);
    Layers layers(3, 3, rng);
    std::fill(layers.l0.begin(), layers.l0.end(), 0u);
    std::fill(layers.l1.begin(), layers.l1.end(), 0x00400100u);
    std::fill(layers.l2.begin(), layers.l2.end(), 0u);
    layers.l1[4] = 0xFFFFFFFFu;
    std::vector<uint32_t> target(9, 0);
    relight::Run(Standard(),
                 JobOf(layers, target, 3, 3, relight::ParamsFrom(0.5f, 0xFFFFFFFAu, 0.2f, 0.0f)),
                 nullptr);
    EXPECT_EQ(target[4], 0xFFFAFAF5u);
}

TEST(Relight, RenderOnACanvas) {
    CStandardRenderer renderer;
    ASSERT_EQ(renderer.SetupRenderer(), eNoError);
    CCanvas canvas;
    CImage target(10, 10);
    EXPECT_EQ(renderer.Render(&target, canvas, 1), eOutOfMemory) << "no project";
    CProjectInfo info;
    info.m_nWidth = 12;
    info.m_nHeight = 7;
    info.m_nCanvasSetting = 0xFFFFFFFAu;
    ASSERT_EQ(canvas.CreateProject(&info), eNoError);
    EXPECT_EQ(renderer.Render(nullptr, canvas, 1), eOutOfMemory);
    {
        CImNav nav(&target);
        nav.Fill(0x12345678u);
    }
    // No invalid rows: a span render draws nothing, a whole one the area
    // the layers and the target share.
    ASSERT_EQ(canvas.FirstInvalidRow(), 0x7FFFFFFF);
    ASSERT_EQ(renderer.Render(&target, canvas, 0), eNoError);
    CImNav nav(&target);
    EXPECT_EQ(uint32_t(nav.Row(0)[0]), 0x12345678u);
    ASSERT_EQ(renderer.Render(&target, canvas, 1), eNoError);
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 10; ++x) {
            EXPECT_EQ(uint32_t(nav.Row(y)[x]), y < 7 ? 0xFFFAFAF5u : 0x12345678u) << x << "," << y;
        }
    }
}

} // namespace
