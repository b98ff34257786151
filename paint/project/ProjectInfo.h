#pragma once
// The description of a project that travels with new, load, save and
// get-project-info: its size, name and file, and the settings a new canvas
// takes. The backbone keeps one as the current project; its modified word
// is the document's modified flag.

#include <cstdint>

#include "FileIO/gCFRef.h"
#include "foundation/Error.h"
#include "foundation/gCString.h"

class CProjectInfo {
public:
    // A fresh one describes an 800 x 600 painting named "%%%" on the
    // default paper colour, as the backbone's own copy starts (without
    // memory for the name it stays empty).
    CProjectInfo() { (void)m_Name.CopyString(u"%%%"); }
    virtual ~CProjectInfo() = default;
    CProjectInfo(const CProjectInfo&) = delete;
    CProjectInfo& operator=(const CProjectInfo&) = delete;

    // Every field copied, or 5 with this one left as it was.
    error CopyFrom(const CProjectInfo& other);

    int32_t m_nWidth = 800;
    int32_t m_nHeight = 600;
    gCString m_Name;
    gCFRef m_File;
    int32_t m_nModified = 0;
    gCString m_TracingPath;
    // 0..3; larger values give paper 0.
    uint32_t m_nPaperTexture = 0;
    // The paper colour of a new canvas, a CPixel word.
    uint32_t m_nCanvasSetting = 0xFFFFFFFAu;
};
