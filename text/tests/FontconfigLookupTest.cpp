// The real lookup of installed fonts through fontconfig, on the fonts the
// install script installs: a full name is found exactly, and "Helvetica"
// always gives a face.

#include <gtest/gtest.h>

#include <filesystem>

#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/FileIO/TempVolume.h"
#include "text/Font.h"
#include "text/FontLookup.h"
#include "text/detail/FreeType.h"

namespace {

TEST(FontconfigLookup, FindsAFullNameExactlyAndMatchesHelvetica) {
    CFontLookup& lookup = FontconfigLookup();
    SFontLocation where;
    ASSERT_TRUE(lookup.FindFullName("DejaVu Sans", where));
    EXPECT_EQ(std::filesystem::path(where.path).filename(), "DejaVuSans.ttf");
    EXPECT_EQ(where.index, 0);
    ASSERT_TRUE(lookup.FindFullName("DejaVu Sans Bold", where));
    EXPECT_EQ(std::filesystem::path(where.path).filename(), "DejaVuSans-Bold.ttf");
    EXPECT_FALSE(lookup.FindFullName("dejavu sans", where)) << "exactly, case too";
    EXPECT_FALSE(lookup.FindFullName("DejaVu Sans Nonexistent Style", where));

    ASSERT_TRUE(lookup.MatchFamily("Helvetica", where));
    EXPECT_TRUE(std::filesystem::is_regular_file(where.path)) << where.path;
}

TEST(FontconfigLookup, OpensAnInstalledFontThroughTheFontManager) {
    CFakeResourceServices services;
    ASSERT_EQ(gCFont::InitializeManager(), eNoError);
    EXPECT_EQ(&CFontLookup::Get(), &FontconfigLookup());
    ASSERT_EQ(gCFont::LoadSystemFont(S("DejaVu Sans"), 3), eNoError);
    CResourcePool& pool = services.m_aResourcePools[kFontPool];
    gCFont* font = dynamic_cast<gCFont*>(pool.FindByName(S("DejaVu Sans")));
    ASSERT_NE(font, nullptr);
    EXPECT_STREQ(font->GetFace()->family_name, "DejaVu Sans");
    EXPECT_STREQ(font->GetFace()->style_name, "Book");
    EXPECT_EQ(std::filesystem::path(U(gCFont::GetFontPath(S("DejaVu Sans")))).filename(),
              "DejaVuSans.ttf");
    pool.Empty();
    gCFont::ShutDownManager();
}

} // namespace
