#pragma once
// The text tests' world with widget blocks as the application's resource
// file, and the detail lines of the alerts a load showed.

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "imaging/Image.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "text/tests/FontFixture.h"

class WidgetFileFixture : public FontFixture {
protected:
    // The blocks as the application's resource file.
    void Write(const std::vector<std::string>& blocks) {
        MakeFile("widgets.vrf", ResourceFileBytes(2, blocks));
        gCFRef ref(S("HD:widgets.vrf"));
        ASSERT_EQ(m_File.Open(&ref, eAccessReadOnly), eNoError);
        ASSERT_EQ(m_Index.SetupIndex(&m_File), eNoError);
        m_Services.m_pResFile = &m_File;
        m_Services.m_pResIndex = &m_Index;
    }
    // An 'imag' block of a flat picture of that size.
    std::string ImageBlock(int32_t id, const std::string& name, int32_t width, int32_t height) {
        CImage picture(width, height);
        const std::string path = Posix(name + ".png");
        EXPECT_TRUE(WritePicturePng(picture, path));
        std::ifstream in(path, std::ios::binary);
        const std::string png((std::istreambuf_iterator<char>(in)), {});
        return WriterBlock("imag", id, name, WriterInt32(uint32_t(png.size())) + png);
    }
    // What each alert says after its headline.
    std::vector<std::string> Details() const {
        std::vector<std::string> out;
        for (const auto& alert : m_Services.m_Alerts) {
            const size_t lf = alert.text.find('\n');
            out.push_back(lf == std::string::npos ? std::string() : alert.text.substr(lf + 1));
        }
        return out;
    }

    gCFile m_File;
    gCResourceIndex m_Index;
};
