#pragma once
// A resource file built by a test in the temporary volume and handed to the
// fake application as its resource file and index.

#include <string>

#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "testsupport/FileIO/ResourceBytes.h"
#include "testsupport/FileIO/ResourceFileFixture.h"

class ImageResourceFile : public ResourceFileFixture {
protected:
    // Writes the version block and the given blocks, opens and indexes the
    // file and makes it the application's.
    void Install(const std::string& blocks);
    void TearDown() override;

    // One whole PNG file of the image, as an 'imag' payload (count + bytes).
    static std::string ImagePayload(CImage& image);
    static std::string ImagePayload(CImage8& image);
    // An 'imlt'/'iml8' payload.
    static std::string ListPayload(int32_t exclusive, std::initializer_list<const char*> names);
};
