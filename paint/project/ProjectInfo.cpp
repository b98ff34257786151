#include "paint/project/ProjectInfo.h"

#include <utility>

error CProjectInfo::CopyFrom(const CProjectInfo& other) {
    if (this == &other) {
        return eNoError;
    }
    gCString name, tracing;
    if (name.CopyStringFromBuffer(other.m_Name.GetBuffer(), other.m_Name.GetLength()) != eNoError ||
        tracing.CopyStringFromBuffer(other.m_TracingPath.GetBuffer(),
                                     other.m_TracingPath.GetLength()) != eNoError) {
        return eOutOfMemory;
    }
    gCFRef file(other.m_File);
    if (other.m_File.IsValid() && !file.IsValid()) {
        return eOutOfMemory; // the copy of a valid reference came out empty
    }
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_Name = std::move(name);
    m_File = std::move(file);
    m_nModified = other.m_nModified;
    m_TracingPath = std::move(tracing);
    m_nPaperTexture = other.m_nPaperTexture;
    m_nCanvasSetting = other.m_nCanvasSetting;
    return eNoError;
}
