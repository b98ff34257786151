#include "bench/FuzzPainting.h"

#include "FileIO/gCFRef.h"
#include "bench/FuzzSupport.h"
#include "foundation/MessageIds.h"
#include "paint/canvas/Canvas.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "widgets/ImWidget.h"

namespace fuzz {

CPaintingWorld::CPaintingWorld() {
    gCCmdTarget::SetBackboneModule(&m_Backbone);
    gCCmdTarget::SetUIModule(&m_UI);
    CProjectInfo info;
    info.m_nWidth = 100;
    info.m_nHeight = 100;
    (void)info.m_Name.CopyString(u"Fuzz");
    m_fReady = Set(eCmdInitBackbone, 0) == 0 && Set(eCmdNewProject, ChannelValueOf(&info)) == 0;
    CWidget* widget = AddPlaced<CImWidget>(m_Root, gCRect(0, 0, 100, 100));
    m_fReady = m_fReady && widget && m_Backbone.Canvas() &&
               m_Backbone.Canvas()->AttachCanvasWidget(widget) == eNoError;
}

CPaintingWorld::~CPaintingWorld() {
    gCCmdTarget::SetUIModule(nullptr);
    gCCmdTarget::SetBackboneModule(nullptr);
}

int32_t CPaintingWorld::Project(uint32_t id, const char* leaf) {
    CProjectInfo info;
    info.m_File = gCFRef(ScratchColon(leaf));
    (void)info.m_Name.CopyString(u"Fuzzed");
    return Set(id, ChannelValueOf(&info));
}

} // namespace fuzz
