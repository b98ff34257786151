#pragma once
// A resource file made by a test, holding paper images by id, handed to the
// fake application as its resource file and index.

#include <string>

#include "imaging/Image.h"
#include "testsupport/FileIO/ResourceBytes.h"
#include "testsupport/FileIO/ResourceFileFixture.h"

class PaperFile : public ResourceFileFixture {
protected:
    // Writes the version block and the given blocks, opens and indexes the
    // file and makes it the application's.
    void Install(const std::string& blocks);
    // An 'imag' block of the image as one PNG file.
    static std::string PaperBlock(int32_t id, CImage& image);
    // An 'imag' block of a BMP file of the given size with no pixels.
    static std::string EmptyBmpBlock(int32_t id, int32_t width, int32_t height);
};
