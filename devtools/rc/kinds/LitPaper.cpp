#include "devtools/rc/kinds/LitPaper.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "devtools/rc/PosixFile.h"
#include "devtools/rc/ResourceWriter.h"
#include "devtools/rc/ToolServices.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "paint/relight/StandardRenderer.h"

namespace {

// A fresh file in the temporary folder, removed with this object.
class CTempFile {
public:
    CTempFile() {
        std::error_code ec;
        std::string pattern =
            (std::filesystem::temp_directory_path(ec) / "daublin-rc-paper-XXXXXX").string();
        if (ec) {
            return;
        }
        const int fd = mkstemp(pattern.data());
        if (fd >= 0) {
            close(fd);
            m_Path = pattern;
        }
    }
    ~CTempFile() {
        if (!m_Path.empty()) {
            std::error_code ec;
            std::filesystem::remove(m_Path, ec);
        }
    }
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;

    const std::string& Path() const { return m_Path; }

private:
    std::string m_Path;
};

// The services registered while they live, the earlier ones back after.
class CRegistered {
public:
    explicit CRegistered(CAppServices* services) : m_pEarlier(CAppServices::Get()) {
        CAppServices::Register(services);
    }
    ~CRegistered() { CAppServices::Register(m_pEarlier); }
    CRegistered(const CRegistered&) = delete;
    CRegistered& operator=(const CRegistered&) = delete;

private:
    CAppServices* m_pEarlier;
};

std::string Failed(const char* what, error e) {
    return std::string(what) + " (error " + std::to_string(int(e)) + ")";
}

// The canvas on the open file's paper, lit into pixels.
bool LightCanvas(uint32_t texture, int32_t width, int32_t height, std::vector<uint32_t>& pixels,
                 std::string& why) {
    CCanvas canvas;
    CProjectInfo info; // the default paper colour
    info.m_nWidth = width;
    info.m_nHeight = height;
    info.m_nPaperTexture = texture;
    if (const error e = canvas.CreateProject(&info); e != eNoError) {
        why = Failed("the canvas cannot be made", e);
        return false;
    }
    // The canvas takes a paper it cannot load as no grain at all.
    const CImNav* grain = canvas.LayerView(CCanvasLayers::kGrain);
    if (!grain || !grain->IsLocked()) {
        why = "the canvas's grain cannot be read";
        return false;
    }
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if ((uint32_t(grain->Row(y)[x]) & 0xFFFFu) == 0) {
                why = "the canvas lays no grain from the paper";
                return false;
            }
        }
    }
    CStandardRenderer renderer;
    CImage lit(width, height);
    if (const error e = renderer.SetupRenderer(); e != eNoError) {
        why = Failed("the renderer cannot be set up", e);
        return false;
    }
    if (const error e = renderer.Render(&lit, canvas, 1); e != eNoError) {
        why = Failed("the canvas cannot be lit", e);
        return false;
    }
    CImNav view(&lit);
    if (!view.IsLocked() || view.GetWidth() != width || view.GetHeight() != height) {
        why = "the lit canvas cannot be read";
        return false;
    }
    pixels.assign(size_t(width) * size_t(height), 0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            pixels[size_t(y) * size_t(width) + size_t(x)] = uint32_t(view.Row(y)[x]);
        }
    }
    return true;
}

} // namespace

bool LightPaper(const ResourceBlock& paper, int32_t width, int32_t height,
                std::vector<uint32_t>& pixels, std::string& why) {
    const CTempFile temp;
    Diagnostics written;
    if (temp.Path().empty() || !WriteResourceBlocks(temp.Path(), {&paper}, written)) {
        why = "the paper cannot be written to a temporary resource file";
        for (const std::string& m : written.Messages()) {
            why += ": " + m;
        }
        return false;
    }
    gCFile file;
    gCResourceIndex index;
    if (const error e = OpenPosixFile(file, temp.Path(), eAccessReadOnly); e != eNoError) {
        why = Failed("the temporary resource file cannot be opened", e);
        return false;
    }
    if (const error e = index.SetupIndex(&file); e != eNoError) {
        why = Failed("the temporary resource file cannot be indexed", e);
        return false;
    }
    CToolServices services;
    services.m_pResFile = &file;
    services.m_pResIndex = &index;
    bool lit = false;
    {
        const CRegistered registered(&services);
        lit = LightCanvas(uint32_t(paper.id - CCanvas::kFirstPaperId), width, height, pixels, why);
        services.EmptyPools();
    }
    if (lit && !services.m_Alerts.empty()) {
        why = "the canvas shows: " + services.m_Alerts.front().text;
        lit = false;
    }
    (void)file.Close(); // read only: nothing to lose
    return lit;
}
