// Opening a painting, starting a new one and turning a picture into a
// painting. Each first asks the save prompt about a modified painting and
// comes back through the hub once it is answered. An open or import that
// is abandoned after the prompt's "don't save" puts the painting's
// modified flag back as the prompt found it; every failure is shown once,
// here, and answered with 0 so that no caller shows it again.

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "FileIO/FileTypes.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFTypeList.h"
#include "FileIO/gCFileIO.h"
#include "foundation/ErrorReport.h"
#include "foundation/MessageIds.h"
#include "foundation/ScopeGuards.h"
#include "foundation/Utf8.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "platform/WindowBase.h"
#include "ui/FailureAlert.h"
#include "ui/InterfaceText.h"
#include "ui/SMKBackdrop.h"
#include "ui/boxes/NewFile.h"

namespace {

constexpr uint32_t kNotOpenedText = 0xB2D05E0C;
constexpr uint32_t kNotAPaintingText = 0xB2D05E0D;
constexpr uint32_t kNotImportedText = 0xB2D05E42;
// The save prompt's pending actions.
constexpr int32_t kOpenAction = 1;
constexpr int32_t kNewAction = 2;
constexpr int32_t kImportAction = 3;

// Whether the file is there at all.
bool Exists(const gCFRef& file) {
    const std::string path = file.PosixPath();
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

// Asks the backbone whether the painting is modified; when it is, the
// restore flag is set and the save prompt asked for with the action, whose
// answer runs the action again. stop tells the caller to end here with the
// code: the prompt was asked for (the request's code) or the query failed.
error PromptWhenModified(CSMKBackdrop& backdrop, int32_t action, bool& stop) {
    stop = false;
    int32_t modified = 0;
    if (const int32_t e =
            backdrop.GetBackboneData(eCmdModified, &backdrop, ChannelValueOf(&modified))) {
        stop = true;
        return error(e);
    }
    if (!modified) {
        return eNoError;
    }
    stop = true;
    backdrop.SetRestoreModified(1);
    return error(backdrop.SetUIData(eCmdSavePrompt, &backdrop, action));
}

} // namespace

error CSMKBackdrop::LoadProject() {
    gCFRef file;
    gCFTypeList types;
    CProjectInfo project;
    // A dropped document's path waits for the answer.
    bool stop = false;
    if (const error e = PromptWhenModified(*this, kOpenAction, stop); stop) {
        return e;
    }
    if (m_DocumentPath.GetLength() > 0) {
        // A document handed over: opened without asking, and taken once.
        const error taken = file.SetFileReference(m_DocumentPath);
        m_DocumentPath = gCString();
        if (taken != eNoError) {
            ShowFailure(taken, kNotOpenedText, nullptr);
            EndOpenAfterPrompt(1);
            return eNoError;
        }
    } else {
        // The project type alone; without memory for it the dialog still
        // comes, with an empty list.
        if (types.AddCustomType(m_ProjectFileType.m_nTypeID, m_ProjectFileType.m_Description,
                                m_ProjectFileType.m_Extension,
                                m_ProjectFileType.m_nMacType) == eNoError) {
            (void)types.SetDefaultEntry(0); // entry 0 exists now
        }
        const error asked = gCFileIO::InitLoadFRef(file, &types);
        RefreshTabletServices();
        if (asked != eNoError) {
            if (asked != eHandled && !DialogShownItself(asked)) {
                ShowFailure(asked, kNotOpenedText, nullptr);
            }
            EndOpenAfterPrompt(1);
            return eNoError;
        }
    }
    project.m_File = file;
    if (!project.m_File.IsValid() ||
        project.m_Name.CopyStringFromBuffer(file.FileName().GetBuffer(),
                                            file.FileName().GetLength()) != eNoError) {
        ShowFailure(eOutOfMemory, kNotOpenedText, &file);
        EndOpenAfterPrompt(1);
        return eNoError;
    }

    // The views follow the load while the window is held back; it is drawn
    // once at the end.
    const int32_t prevented = RedrawPrevented();
    SetRedrawPrevented(1);
    int32_t loaded = 0;
    {
        const CHideCursor hidden;
        loaded = SetBackboneData(eCmdLoadProject, this, ChannelValueOf(&project));
    }
    if (CWindowBase::m_pThis) {
        SetRedrawPrevented(prevented);
        (void)PassRedraw(); // a failed redraw is shown by the backdrop and kept dirty
    }
    // A refused load leaves the painting as it was.
    EndOpenAfterPrompt(loaded != 0 ? 1 : 0);
    if (loaded == eInvalidFile && !Exists(file)) {
        // The file layer cannot tell a file gone since it was chosen from
        // one that is no painting; the painter is told which it was.
        ShowFailure(eFileNotFound, kNotOpenedText, &file);
    } else if (loaded != 0) {
        ShowFailure(loaded, loaded == eInvalidFile ? kNotAPaintingText : kNotOpenedText, &file);
    }
    return eNoError;
}

error CSMKBackdrop::NewProject() {
    bool stop = false;
    if (const error e = PromptWhenModified(*this, kNewAction, stop); stop) {
        return e;
    }
    // The panel makes the painting when the painter confirms it.
    return m_pNewFile ? m_pNewFile->Show(1) : eNotImplemented;
}

gCPoint CSMKBackdrop::ImportedSize(int32_t width, int32_t height) {
    const gCPoint fitted = CNewFile::FittedSize(width, height);
    return gCPoint(std::max(CNewFile::kSmallestSide, fitted.x),
                   std::max(CNewFile::kSmallestSide, fitted.y));
}

error CSMKBackdrop::ImportImage() {
    gCFRef file;
    CImage picture(0);
    gCFTypeList types;
    bool stop = false;
    if (const error e = PromptWhenModified(*this, kImportAction, stop); stop) {
        return e;
    }
    // BMP, JPEG and PNG, the dialog starting on all three together. A list
    // that cannot be made leaves the dialog with what it holds.
    if (types.SetDefaultList(eImageFilesFlag) == eNoError &&
        types.AddListType({eAllImageFiles, eLastTypeIndex}) == eNoError) {
        (void)types.SetDefaultEntry(eAllImageFiles); // an entry of the list just made
    }
    const error asked = gCFileIO::InitLoadFRef(file, &types);
    RefreshTabletServices();
    if (asked != eNoError) {
        if (asked != eHandled && !DialogShownItself(asked)) {
            ShowFailure(eFileReadWriteError, kNotImportedText, nullptr);
        }
        EndOpenAfterPrompt(1);
        return eNoError;
    }
    // Whatever the reader's own reason, the painter is told the picture
    // could not be read.
    if (gCImageIO::ReadImage(file, picture) != eNoError) {
        EndOpenAfterPrompt(1);
        ShowFailure(eFileReadWriteError, kNotImportedText, &file);
        return eNoError;
    }

    CProjectInfo project;
    const gCPoint size = ImportedSize(picture.GetWidth(), picture.GetHeight());
    project.m_nWidth = size.x;
    project.m_nHeight = size.y;
    if (project.m_Name.CopyStringFromBuffer(file.FileName().GetBuffer(),
                                            file.FileName().GetLength()) != eNoError) {
        EndOpenAfterPrompt(1);
        ShowFailure(eOutOfMemory, kNotImportedText, &file);
        return eNoError;
    }
    project.m_nModified = 0;
    project.m_nPaperTexture = 0;
    project.m_nCanvasSetting = CNewFile::kDefaultColour;

    // The new painting is built while the window is held back; it is drawn
    // once at the end. The canvas stretches the picture over the painting
    // wherever their sizes differ.
    const int32_t prevented = RedrawPrevented();
    SetRedrawPrevented(1);
    const int32_t made = SetBackboneData(eCmdNewProject, this, ChannelValueOf(&project));
    int32_t failed = made;
    if (failed == 0) {
        failed = SetBackboneData(eCmdImportImage, this, ChannelValueOf(&picture));
    }
    if (failed == 0) {
        failed = SetBackboneData(eCmdRedrawCanvas, this, 0);
    }
    if (CWindowBase::m_pThis) {
        SetRedrawPrevented(prevented);
    }
    // Past the dialog and the reading the old painting is gone: nothing to
    // put back.
    EndOpenAfterPrompt(0);
    if (failed != 0) {
        // A painting that could not be started the backbone has shown
        // itself; a picture that could not be placed or lit is shown here.
        if (made == 0) {
            ShowFailure(failed, kNotImportedText, &file);
        }
        return eNoError;
    }
    if (CWindowBase::m_pThis) {
        (void)PassRedraw(); // a failed redraw is shown by the backdrop and kept dirty
    }
    return eNoError;
}

void CSMKBackdrop::EndOpenAfterPrompt(int32_t abandoned) {
    if (abandoned && m_fRestoreModified) {
        int32_t flag = m_fPromptModified;
        // The backbone shows its own failures; the painting stays as it is.
        (void)SetBackboneData(eCmdModified, this, ChannelValueOf(&flag));
    }
    m_fRestoreModified = 0;
}

void CSMKBackdrop::ForgetPromptCycle(int32_t action) {
    m_fRestoreModified = 0;
    if (action == kOpenAction) {
        m_DocumentPath = gCString();
    }
}
