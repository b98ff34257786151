#include <gtest/gtest.h>

#include "FileIO/CResourcePool.h"
#include "FileIO/ResourceTags.h"
#include "imaging/ImNav.h"
#include "imaging/tests/ResourceFixture.h"

namespace {

// A small image with distinct pixels, alpha included.
void Paint(CImage& image, uint32_t seed) {
    ASSERT_EQ(image.Create(5, 3), eNoError);
    CImNav view(&image);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            view.Row(y)[x] = CPixel(seed * 0x01010101u + uint32_t(y * 5 + x) * 0x00030507u);
        }
    }
}

bool SamePixels(CImage& a, CImage& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) {
        return false;
    }
    CImNav va(&a), vb(&b);
    for (int32_t y = 0; y < a.GetHeight(); ++y) {
        for (int32_t x = 0; x < a.GetWidth(); ++x) {
            if (uint32_t(va.Row(y)[x]) != uint32_t(vb.Row(y)[x])) {
                return false;
            }
        }
    }
    return true;
}

class ImageResources : public ImageResourceFile {
protected:
    void SetUp() override {
        ImageResourceFile::SetUp();
        Paint(logo, 0x80);
        Paint(badge, 0x20);
        CImage8 mask(4, 2);
        Install(ResBlock(kResImageTag, 7, "logo", ImagePayload(logo)) +
                ResBlock(kResImageTag, 8, "badge", ImagePayload(badge)) +
                ResBlock(kResImageTag, 9, "mask", ImagePayload(mask)) +
                ResBlock(kResImageTag, 10, "broken", Le32(6) + "abcdef") +
                ResBlock(kResImageTag, 11, "cut", Le32(1000) + "abc") +
                ResBlock(kResImageTag, 12, "half", HalfPng()));
    }
    // A whole 'imag' payload whose PNG ends half way through its pixels.
    static std::string HalfPng() {
        CImage big(60, 40);
        CImNav view(&big);
        for (int32_t y = 0; y < 40; ++y) {
            for (int32_t x = 0; x < 60; ++x) {
                view.Row(y)[x] = CPixel(uint32_t(x * 2654435761u) ^ uint32_t(y * 40503u));
            }
        }
        const std::string png = ImagePayload(big).substr(4);
        return Le32(uint32_t(png.size() / 2)) + png.substr(0, png.size() / 2);
    }
    CImage logo, badge;
};

TEST_F(ImageResources, LoadsByIdAndByName) {
    CImage byId;
    ASSERT_EQ(byId.GetFromRes(7, nullptr, nullptr), eNoError);
    EXPECT_TRUE(SamePixels(byId, logo));
    EXPECT_EQ(byId.GetResID(), 7);
    EXPECT_EQ(U(byId.GetResName()), "logo");

    CImage byName;
    ASSERT_EQ(byName.GetFromRes(S("badge"), nullptr, nullptr), eNoError);
    EXPECT_TRUE(SamePixels(byName, badge));
    EXPECT_EQ(byName.GetResID(), 8);

    CImage8 mask;
    ASSERT_EQ(mask.GetFromRes(S("mask"), &file, &index), eNoError);
    EXPECT_EQ(mask.GetWidth(), 4);
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(ImageResources, MissingAndFaultyBlocks) {
    CImage image;
    EXPECT_EQ(image.GetFromRes(99, nullptr, nullptr), eResourceNotFound);
    EXPECT_EQ(image.GetFromRes(S("Logo"), nullptr, nullptr), eResourceNotFound);
    EXPECT_TRUE(app.m_Alerts.empty()) << "a missing block is not reported";

    EXPECT_NE(image.GetFromRes(S("broken"), nullptr, nullptr), eNoError);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_EQ(app.m_Alerts[0].text, "An error occurred reading data from a binary resource file.\n"
                                    "Image failed to load from resources.");

    EXPECT_EQ(image.GetFromRes(S("cut"), nullptr, nullptr), eResourceReadError)
        << "a count larger than its block is refused before anything is read";
    ASSERT_EQ(app.m_Alerts.size(), 2u);
    EXPECT_EQ(app.m_Alerts[1].text, "An error occurred reading data from a binary resource file.\n"
                                    "Image load size failed.");

    CImage8 mask;
    EXPECT_EQ(mask.GetFromRes(S("cut"), nullptr, nullptr), eResourceReadError);
    EXPECT_EQ(app.m_Alerts.back().text,
              "An error occurred reading data from a binary resource file.\n"
              "Image8 load size failed.");

    app.m_pResFile = nullptr;
    EXPECT_EQ(image.GetFromRes(7, nullptr, nullptr), eBadParameter) << "no file at all";
    EXPECT_EQ(CImage::CreateFromRes(7, nullptr, nullptr), nullptr);
}

// A load that fails after the block was found (bytes that are no image, a
// PNG cut half way) leaves the image as it was: pixels, size, id and name.
TEST_F(ImageResources, AFailedLoadLeavesTheImageAsItWas) {
    CImage image;
    ASSERT_EQ(image.GetFromRes(S("logo"), nullptr, nullptr), eNoError);
    for (const char* name : {"broken", "half"}) {
        EXPECT_NE(image.GetFromRes(S(name), nullptr, nullptr), eNoError) << name;
        EXPECT_TRUE(SamePixels(image, logo)) << name;
        EXPECT_EQ(image.GetResID(), 7) << name;
        EXPECT_EQ(U(image.GetResName()), "logo") << name;
    }
    EXPECT_EQ(app.m_Alerts.size(), 2u) << "each failure is shown";

    // Loading again into a compressed image replaces it whole.
    CImage flat(40, 40);
    CImNav(&flat).Fill(CPixel(0xFF102030u));
    ASSERT_EQ(flat.Compress(), eNoError);
    ASSERT_TRUE(flat.IsCompressed());
    EXPECT_NE(flat.GetFromRes(S("half"), nullptr, nullptr), eNoError);
    EXPECT_TRUE(flat.IsCompressed()) << "a failed load keeps the compressed form";
    ASSERT_EQ(flat.GetFromRes(7, nullptr, nullptr), eNoError);
    EXPECT_FALSE(flat.IsCompressed());
    EXPECT_TRUE(SamePixels(flat, logo));
}

TEST_F(ImageResources, SharedImagesComeFromThePool) {
    CImage* first = CImage::CreateSharedFromRes(7, nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->IsPooled(), 1);
    EXPECT_EQ(app.GetResourcePool(1)->GetCount(), 1);

    app.m_pResFile = nullptr; // a second load would fail: nothing is read
    EXPECT_EQ(CImage::CreateSharedFromRes(7, nullptr, nullptr), first);
    EXPECT_EQ(CImage::CreateSharedFromRes(S("logo"), nullptr, nullptr), first);
    EXPECT_EQ(CImage8::CreateSharedFromRes(7, nullptr, nullptr), nullptr)
        << "an object of another class under the same id is not the one asked for";
    app.m_pResFile = &file;

    CImage8* mask = CImage8::CreateSharedFromRes(S("mask"), nullptr, nullptr);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(app.GetResourcePool(1)->GetCount(), 2);
}

TEST_F(ImageResources, NamedImagesWriteTheirNameAsThePngTitle) {
    CImage image;
    ASSERT_EQ(image.GetFromRes(S("logo"), nullptr, nullptr), eNoError);
    const std::string payload = ImagePayload(image);
    EXPECT_NE(payload.find(std::string("Title\0logo", 10)), std::string::npos);
}

} // namespace
