// The interface side of saving: whether the user must be asked for a file,
// the save dialog when needed, and the backbone's save of the project.

#include "FileIO/gCFRef.h"
#include "FileIO/gCFTypeList.h"
#include "FileIO/gCFileIO.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "ui/SMKBackdrop.h"

namespace {

// The name bar's slot among the panels.
constexpr int32_t kNameBarPanel = 1;

} // namespace

error CSMKBackdrop::SaveProject(int32_t saveAs) {
    // Only the name and the file travel with the save.
    CProjectInfo project;
    CProjectInfo* current = nullptr;
    if (const int32_t e = GetBackboneData(eCmdGetProjectInfo, this, ChannelValueOf(&current))) {
        return error(e);
    }
    if (!current) {
        return eBadParameter;
    }
    if (!saveAs && current->m_File.Volume().GetLength() > 0) {
        // The project has its file: written there when it changed.
        if (current->m_nModified == 0) {
            return eNoError;
        }
        project.m_File = current->m_File;
        if (!project.m_File.IsValid() ||
            project.m_Name.CopyStringFromBuffer(current->m_Name.GetBuffer(),
                                                current->m_Name.GetLength()) != eNoError) {
            return eOutOfMemory;
        }
        return error(SetBackboneData(eCmdSaveProject, this, ChannelValueOf(&project)));
    }

    // The dialog offers the project type alone. Without memory for it the
    // dialog still comes, with an empty list.
    gCFTypeList types;
    if (types.AddCustomType(m_ProjectFileType.m_nTypeID, m_ProjectFileType.m_Description,
                            m_ProjectFileType.m_Extension,
                            m_ProjectFileType.m_nMacType) == eNoError) {
        (void)types.SetDefaultEntry(0); // entry 0 exists now
    }
    types.SetAllFilesItem(0);
    gCFRef chosen;
    const error asked = gCFileIO::InitSaveFRef(&chosen, &types);
    if (CTabletSource* tablet = TabletServices()) {
        (void)tablet->SetupServices(1); // re-arming answers 0
    }
    if (asked == eHandled) {
        return eNoError; // cancelled: nothing is written
    }
    if (asked != eNoError) {
        return asked;
    }
    // The file is a project whatever the dialog proposed.
    if (const error e = chosen.SetType(m_ProjectFileType.m_Extension); e != eNoError) {
        return e;
    }
    chosen.SetFileTypes(chosen.GetFileType(), m_ProjectFileType.m_nMacType);
    project.m_File = chosen;
    if (!project.m_File.IsValid() ||
        project.m_Name.CopyStringFromBuffer(chosen.FileName().GetBuffer(),
                                            chosen.FileName().GetLength()) != eNoError) {
        return eOutOfMemory;
    }
    if (const int32_t e = SetBackboneData(eCmdSaveProject, this, ChannelValueOf(&project))) {
        return error(e);
    }
    // The name bar shows the new name (a backdrop without its interface
    // set up has none).
    if (gCCmdTarget* nameBar = Panel(kNameBarPanel)) {
        (void)nameBar->ProcessData(eCmdNewProject, this, 0, 1); // the bar answers 0
    }
    return eNoError;
}
