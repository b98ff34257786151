// Files the program writes open in other programs: pngcheck and djpeg
// check them from a temporary file.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "imaging/ImageIO.h"
#include "imaging/tests/CodecStreams.h"
#include "imaging/tests/TestImages.h"

using namespace codectest;

namespace {

class ExternalTools : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/daublin-codec-XXXXXX";
        const int fd = ::mkstemp(pattern);
        ASSERT_GE(fd, 0);
        ::close(fd);
        m_Path = pattern;
    }
    void TearDown() override { std::remove(m_Path.c_str()); }

    // Writes the image in the format and runs the command on the file.
    template <class Image> int Check(Image& image, uint32_t type, const std::string& command) {
        CRecordingStream out;
        EXPECT_EQ(gCImageIO::WriteImage(out, image, type), eNoError);
        std::ofstream(m_Path, std::ios::binary)
            .write(reinterpret_cast<const char*>(out.Written().data()),
                   std::streamsize(out.Written().size()));
        const int status = std::system((command + " '" + m_Path + "' >/dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string m_Path;
};

TEST_F(ExternalTools, PngcheckAcceptsWrittenPngs) {
    std::mt19937 rng(1);
    CImage image(33, 17);
    testimg::Store(image, testimg::RandomPixels(rng, 33 * 17));
    EXPECT_EQ(Check(image, gCImageIO::kPNG, "pngcheck -q"), 0);
    CImage8 image8(9, 40);
    EXPECT_EQ(Check(image8, gCImageIO::kPNG, "pngcheck -q"), 0);
}

TEST_F(ExternalTools, DjpegDecodesWrittenJpegs) {
    std::mt19937 rng(2);
    CImage image(33, 17);
    testimg::Store(image, testimg::RandomPixels(rng, 33 * 17));
    EXPECT_EQ(Check(image, gCImageIO::kJPEG, "djpeg -outfile /dev/null"), 0);
    CImage8 image8(9, 40);
    EXPECT_EQ(Check(image8, gCImageIO::kJPEG, "djpeg -outfile /dev/null"), 0);
}

} // namespace
