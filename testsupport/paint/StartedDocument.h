#pragma once
// A backbone registered as the backbone module beside a UI module, started
// and holding a new painting of the given size (and name, when given).

#include <gtest/gtest.h>

#include "foundation/MessageIds.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"

inline void StartDocument(CSMKBackbone& backbone, gCCmdTarget& ui, int32_t width, int32_t height,
                          const gCString* name = nullptr) {
    gCCmdTarget::SetBackboneModule(&backbone);
    gCCmdTarget::SetUIModule(&ui);
    ASSERT_EQ(backbone.ProcessData(eCmdInitBackbone, &ui, 0, 1), 0);
    CProjectInfo info;
    info.m_nWidth = width;
    info.m_nHeight = height;
    if (name) {
        info.m_Name = *name;
    }
    ASSERT_EQ(backbone.ProcessData(eCmdNewProject, &ui, ChannelValueOf(&info), 1), 0);
}
