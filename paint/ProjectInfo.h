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
    CProjectInfo() = default;
    virtual ~CProjectInfo() = default;
    CProjectInfo(const CProjectInfo&) = delete;
    CProjectInfo& operator=(const CProjectInfo&) = delete;

    // Every field copied, or 5 with this one left as it was.
    error CopyFrom(const CProjectInfo& other);

    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    gCString m_Name;
    gCFRef m_File;
    int32_t m_nModified = 0;
    gCString m_TracingPath;
    // 0..3; larger values give paper 0.
    uint32_t m_nPaperTexture = 0;
    // The paper colour of a new canvas, a CPixel word.
    uint32_t m_nCanvasSetting = 0;
};
