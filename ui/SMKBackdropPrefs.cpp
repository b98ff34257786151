// The preferences file: Daublin.prs in the program's folder of the user's
// configuration folder, read once while the interface is built and written
// whole once at quit.

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string>

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "FileIO/gCPersistencyUtils.h"
#include "foundation/ErrorReport.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "paint/ChannelValue.h"
#include "platform/AppBase.h"
#include "platform/WindowBase.h"
#include "ui/InterfaceText.h"
#include "ui/PrefsRecords.h"
#include "ui/SMKBackdrop.h"
#include "ui/panels/ColourPicker.h"
#include "ui/panels/MenuBar.h"
#include "ui/panels/NameBar.h"

namespace {

constexpr char kPrefsFolderName[] = "daublin";
constexpr char kPrefsFileName[] = "Daublin.prs";
// The alert's text for a damaged preferences file.
constexpr uint32_t kPrefsReadText = 0xB2D05E09;
// The window modes of the restore: fill the screen, or 1024 x 768 centred.
constexpr int32_t kFillScreenMode = 1;
constexpr int32_t kCentredWindowMode = 6;

// Makes the folder and the missing ones above it, each readable by the
// user alone; true when the folder is there afterwards.
bool MakeFolders(const std::string& posix) {
    struct stat st;
    if (::stat(posix.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    const size_t slash = posix.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(posix.substr(0, slash))) {
        return false;
    }
    // Another process may have made it meanwhile.
    return ::mkdir(posix.c_str(), 0700) == 0 || errno == EEXIST;
}

// The preferences folder of this user, as the environment names it.
std::string UserPrefsFolder() {
    const passwd* account = ::getpwuid(::getuid());
    return CSMKBackdrop::PrefsFolderPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"),
                                         account ? account->pw_dir : nullptr);
}

} // namespace

std::string CSMKBackdrop::PrefsFolderPath(const char* configHome, const char* home,
                                          const char* accountHome) {
    // A folder's text without its trailing slashes ("/" becomes empty).
    auto folder = [](const char* text) {
        std::string f = text;
        while (!f.empty() && f.back() == '/') {
            f.pop_back();
        }
        return f;
    };
    std::string config;
    if (configHome && configHome[0] == '/') {
        config = folder(configHome);
    } else if (home && home[0] == '/') {
        config = folder(home) + "/.config";
    } else if (accountHome && accountHome[0] == '/') {
        config = folder(accountHome) + "/.config";
    } else {
        return std::string();
    }
    return config + "/" + kPrefsFolderName;
}

namespace {

// The preferences file's reference in the folder; 23 when the path has
// no colon form.
error PrefsFileRef(const std::string& folder, gCFRef& ref) {
    std::u16string colon;
    if (gCVolumeTable::PosixToColon(folder + "/" + kPrefsFileName, colon) != eNoError) {
        return eCreateFailed;
    }
    gCString path;
    if (const error e = path.CopyStringFromBuffer(colon.data(), int32_t(colon.size()))) {
        return e;
    }
    return ref.SetFileReference(path);
}

} // namespace

error CSMKBackdrop::GetPrefsFile(gCFile* file) {
    if (!file) {
        return eBadParameter;
    }
    // Only looked at: a missing folder or file is a first run, and reading
    // makes neither.
    const std::string folder = UserPrefsFolder();
    if (folder.empty()) {
        return eCreateFailed;
    }
    gCFRef ref;
    if (const error e = PrefsFileRef(folder, ref)) {
        return e;
    }
    if (!gCFileIO::Verify(ref)) {
        return eHandled;
    }
    return gCFileIO::InitLoadFile(*file, ref, nullptr, eAccessReadOnly);
}

error CSMKBackdrop::CreatePrefsFile(gCFile* file) {
    if (!file) {
        return eBadParameter;
    }
    const std::string folder = UserPrefsFolder();
    if (folder.empty() || !MakeFolders(folder)) {
        return eCreateFailed;
    }
    gCFRef ref;
    if (const error e = PrefsFileRef(folder, ref)) {
        return e;
    }
    return gCFileIO::InitSaveFile(*file, ref, nullptr, eAccessWholeNew);
}

namespace {

// The records in the order they are written.
constexpr uint32_t kWrittenRecords[] = {
    eRecSoundOn,          eRecToolType,        eRecLinearSizeOil,   eRecLinearSizePencils,
    eRecLinearSizeCrayon, eRecLinearSizeKnife, eRecLinearSizeChalk, eRecLinearSizeEraser,
    eRecLinearSizePens,   eRecAutoClean,       eRecColour2,         eRecWindowFlag2,
    eRecWindowFlag1,      eRecPanelFlag1,      eRecPanelFlag2,      eRecPressureWeight,
    eRecPickerType,
};
static_assert(std::size(kWrittenRecords) * PrefsRecords::kRecordBytes ==
                  PrefsRecords::kFullFileBytes,
              "17 records of 16 bytes");

bool IsToolSize(uint32_t id) {
    return id >= eRecLinearSizeOil && id <= eRecLinearSizePens;
}

// Whether the reader applies records of this id.
bool IsReadRecord(uint32_t id) {
    return std::find(std::begin(kWrittenRecords), std::end(kWrittenRecords), id) !=
           std::end(kWrittenRecords);
}

CWindowBase* MainWindow() {
    return CAppBase::m_pMainWnd.get();
}

} // namespace

error CSMKBackdrop::ReadPersistency() {
    gCFile file;
    if (GetPrefsFile(&file) != eNoError) {
        return eHandled; // no preferences yet: a first run
    }
    ReadPersistencyFrom(file);
    return eNoError;
}

void CSMKBackdrop::ReadPersistencyFrom(gCStream& stream) {
    const error e = PrefsRecords::Read(
        stream, IsReadRecord, [this](uint32_t id, uint32_t bits) { ApplyPrefsRecord(id, bits); });
    if (e != eNoError) {
        // A damaged file is said once; what was read before it stays.
        const std::string text = gStringToUtf8(InterfaceText(kPrefsReadText));
        (void)ReportError(e, text.c_str());
    }
}

void CSMKBackdrop::ApplyPrefsRecord(uint32_t id, uint32_t bits) {
    const int32_t number = int32_t(bits);
    const int32_t flag = number != 0 ? 1 : 0;
    if (IsToolSize(id)) {
        float size = std::bit_cast<float>(bits);
        if (std::isfinite(size)) {
            // A tool that is not there keeps nothing; nothing to show.
            (void)SetBackboneData(id, this, ChannelValueOf(&size));
        }
        return;
    }
    switch (id) {
    case eRecSoundOn:
        m_fSoundOn = number == 1 ? 1 : 0;
        break;
    case eRecToolType:
        m_nSavedTool = number; // any id selects a tool
        break;
    case eRecAutoClean: {
        int32_t on = flag;
        (void)SetBackboneData(eCmdAutoClean, this, ChannelValueOf(&on)); // as the panel's toggle
        break;
    }
    case eRecColour2:
        // Every listener hears the colour: the tools and the colour picker.
        (void)SetBackboneData(eMsgPaintColour, this, int64_t(bits));
        break;
    case eRecWindowFlag1:
        RestoreWindow(flag);
        break;
    case eRecPanelFlag1:
        if (m_pNameBar) {
            (void)m_pNameBar->SetBarExtended(flag, 0, 0); // fails only without a time step
        }
        break;
    case eRecPanelFlag2:
        if (m_pMenuBar) {
            (void)m_pMenuBar->SetBarExtended(flag, 0, 0);
        }
        break;
    case eRecPressureWeight:
        CTabletSource::m_rWeight = CTabletSource::ClampedWeight(std::bit_cast<float>(bits));
        break;
    case eRecPickerType:
        if (m_pColourPicker && number >= 0 && number < ColourAreas::kTypeCount) {
            (void)m_pColourPicker->SetPickerType(number); // drawn as far as it goes
        }
        break;
    default:
        break; // eRecWindowFlag2: kept for the file, not read
    }
}

void CSMKBackdrop::RestoreWindow(int32_t maximised) {
    const gCRPoint kept(-1.0f, -1.0f);
    // A window that cannot take its place stays as it is.
    if (maximised) {
        if (CWindowBase* window = MainWindow()) {
            (void)window->SetOSMenuHidden(1, 1);
        }
        (void)ResizeMainWindow(kFillScreenMode, kept, kept);
    } else {
        (void)ResizeMainWindow(kCentredWindowMode, gCRPoint(1024.0f, 768.0f), kept);
    }
    if (m_pMenuBar) {
        (void)m_pMenuBar->UpdateWindowButtonState(maximised, 0);
    }
}

error CSMKBackdrop::PrefsValue(uint32_t id, uint32_t& bits) {
    int32_t number = 0;
    if (IsToolSize(id)) {
        float size = 0.0f;
        if (const int32_t e = GetBackboneData(id, this, ChannelValueOf(&size))) {
            return error(e);
        }
        bits = std::bit_cast<uint32_t>(size);
        return eNoError;
    }
    const CWindowBase* window = MainWindow();
    switch (id) {
    case eRecSoundOn:
        number = m_fSoundOn ? 1 : 0;
        break;
    case eRecToolType:
        number = -1;
        if (const int32_t e = GetBackboneData(eCmdGetToolType, this, ChannelValueOf(&number))) {
            return error(e);
        }
        break;
    case eRecAutoClean:
        if (const int32_t e = GetBackboneData(eCmdAutoClean, this, ChannelValueOf(&number))) {
            return error(e);
        }
        number = number != 0 ? 1 : 0;
        break;
    case eRecColour2: {
        uint32_t colour = 0;
        if (const int32_t e = GetBackboneData(eCmdGetColour, this, ChannelValueOf(&colour))) {
            return error(e);
        }
        number = int32_t(colour);
        break;
    }
    case eRecWindowFlag2:
        number = window && window->IsOSMenuHidden() ? 1 : 0;
        break;
    case eRecWindowFlag1:
        number = window && window->IsFullScreen() ? 1 : 0;
        break;
    case eRecPanelFlag1:
        number = m_pNameBar && m_pNameBar->Extended() ? 1 : 0;
        break;
    case eRecPanelFlag2:
        number = m_pMenuBar && m_pMenuBar->Extended() ? 1 : 0;
        break;
    case eRecPressureWeight:
        bits = std::bit_cast<uint32_t>(CTabletSource::m_rWeight);
        return eNoError;
    case eRecPickerType:
        number = m_pColourPicker ? m_pColourPicker->Type() : 0;
        break;
    default:
        return eBadParameter;
    }
    bits = uint32_t(number);
    return eNoError;
}

error CSMKBackdrop::WritePersistency() {
    gCFile file;
    if (CreatePrefsFile(&file) != eNoError) {
        return eNoError; // no place for them: this run's settings are not kept
    }
    for (const uint32_t id : kWrittenRecords) {
        uint32_t bits = 0;
        error e = PrefsValue(id, bits);
        if (e == eNoError) {
            e = gCPersistencyUtils::WritePersistencyData(&file, int32_t(id), bits);
        }
        if (e != eNoError) {
            // A failed query keeps the records before it; a failed write
            // keeps the previous file whole.
            (void)file.Close();
            return e;
        }
    }
    return file.Close();
}
