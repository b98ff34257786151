// Export: the lit composite, without the tracing overlay, written to an
// image file the user chooses.

#include <string>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFTypeList.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "foundation/ErrorReport.h"
#include "foundation/Input.h"
#include "imaging/ImageIO.h"
#include "paint/Backbone.h"
#include "paint/canvas/Canvas.h"
#include "paint/detail/TableText.h"

namespace {

// The string-table text shown when a type other than the three is chosen.
constexpr uint32_t kExportTypeText = 0xB2D05E41;

} // namespace

error CSMKBackbone::ExportImage() {
    CImage* composite = m_pCanvas ? m_pCanvas->Composite() : nullptr;
    if (!composite) {
        return eNoError;
    }
    gCFRef ref;
    gCFTypeList types;
    if (const error e = types.SetDefaultList(eImageFilesFlag); e != eNoError) {
        return e;
    }
    const error chosen = gCFileIO::InitSaveFRef(&ref, &types);
    // The dialog took the pen's focus, whatever it answered.
    if (CTabletSource* tablet = TabletServices()) {
        (void)tablet->SetupServices(1); // re-arming has nothing to report
    }
    if (chosen == eHandled) {
        return eNoError;
    }
    if (chosen != eNoError) {
        return chosen;
    }
    // The type is checked before anything is opened, so an unknown one
    // leaves no file behind.
    const uint32_t type = uint32_t(ref.GetFileType());
    if (!gCImageIO::IsWritableType(type)) {
        const std::string detail = TableText(kExportTypeText);
        (void)ReportError(eBadParameter, detail.c_str()); // shown; the export is over
        return eNoError;
    }
    gCFile file;
    const error opened = gCFileIO::InitSaveFile(file, ref, nullptr, eAccessWholeNew);
    if (opened == eHandled) {
        return eNoError;
    }
    if (opened != eNoError) {
        return opened;
    }
    if (const error e = gCImageIO::WriteImage(file, *composite, type); e != eNoError) {
        // Whatever failed (a write, the encoder, memory), the part written
        // must not replace the file that was there.
        file.Discard();
        return e;
    }
    // The new file takes the old one's place only here: a failed flush or
    // rename is the export's failure.
    return file.Close();
}
