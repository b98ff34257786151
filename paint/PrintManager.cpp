// A print: the destination, the question, the page as a PDF in a private
// temporary file handed to lp, and the PDF file offered when there is no
// printer.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FileIO/Spawn.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFTypeList.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileDlg.h"
#include "FileIO/gCFileIO.h"
#include "foundation/ErrorReport.h"
#include "foundation/Utf8.h"
#include "imaging/Image.h"
#include "paint/detail/PrintPage.h"

namespace {

// "“text”".
std::string Quoted(const std::string& text) {
    return "\xE2\x80\x9C" + text + "\xE2\x80\x9D";
}

std::string FirstLine(const std::string& text) {
    const size_t start = text.find_first_not_of("\r\n");
    if (start == std::string::npos) {
        return std::string();
    }
    return text.substr(start, text.find_first_of("\r\n", start) - start);
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Shown once; the print is over either way.
void Show(error code, const std::string& detail) {
    (void)ReportError(code, detail.c_str()); // the alert always answers 0
}

// The name lpstat -d gives as the system's default, "" for none.
std::string DefaultDestination() {
    const std::string lpstat = gFindProgram("lpstat");
    if (lpstat.empty()) {
        return std::string();
    }
    std::string output, errors;
    // lpstat and lp are no dialogs: they answer at once, with no pump.
    if (gSpawnAndCaptureAll({lpstat, "-d"}, {"LC_ALL=C"}, output, errors, nullptr) != 0) {
        return std::string();
    }
    static const char kLead[] = "system default destination: ";
    const size_t at = output.find(kLead);
    if (at == std::string::npos) {
        return std::string();
    }
    std::string name = FirstLine(output.substr(at + sizeof kLead - 1));
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) {
        name.pop_back();
    }
    return name;
}

} // namespace

sPrintDestination FindPrintDestination() {
    sPrintDestination where;
    where.lp = gFindProgram("lp");
    if (where.lp.empty()) {
        where.why = "lp was not found";
        return where;
    }
    where.name = Variable("LPDEST");
    if (where.name.empty()) {
        where.name = Variable("PRINTER");
    }
    if (where.name.empty()) {
        where.name = DefaultDestination();
    }
    if (where.name.empty()) {
        where.why = "there is no default printer";
    }
    return where;
}

CPrintTemporary::~CPrintTemporary() {
    if (!m_Path.empty()) {
        (void)::unlink(m_Path.c_str());
    }
}

bool CPrintTemporary::Write(const std::string& bytes, std::string& why) {
    std::string folder = Variable("TMPDIR");
    if (folder.empty()) {
        folder = "/tmp";
    }
    std::string name = folder + "/daublin-print-XXXXXX.pdf";
    // mkstemps makes the file with mode 0600.
    const int fd = ::mkstemps(name.data(), 4);
    if (fd < 0) {
        why = folder + ": " + std::strerror(errno);
        return false;
    }
    m_Path = name;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            why = m_Path + ": " + std::strerror(wrote < 0 ? errno : ENOSPC);
            ::close(fd);
            return false;
        }
        done += size_t(wrote);
    }
    if (::close(fd) != 0) {
        why = m_Path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

error CSMKPrintManager::Print(const gCString& title, CImage* image, int32_t) {
    if (!image) {
        return eNoError;
    }
    const std::string name = gStringToUtf8(title);
    const sPrintDestination where = FindPrintDestination();
    if (where.name.empty()) {
        OfferPdf(name, *image, where.why);
        return eNoError;
    }
    // No is the cancel; a question that could not be asked has said why.
    if (gCFileDlg::Backend().Confirm("Print " + Quoted(name) + " on " + where.name + " (" +
                                     m_Setup.Describe() + ")?") != eNoError) {
        return eNoError;
    }
    std::string pdf, why;
    if (DrawPrintPage(m_Setup, name, *image, pdf, why) != eNoError) {
        Show(eCreateFailed,
             "The page for " + Quoted(where.name) + " could not be drawn: " + why + ".");
        return eNoError;
    }
    // The file goes when this returns, whatever lp did.
    CPrintTemporary file;
    if (!file.Write(pdf, why)) {
        Show(eFileReadWriteError,
             "The page for " + Quoted(where.name) + " could not be written.\n" + why);
        return eNoError;
    }
    std::string output, errors;
    const int status = gSpawnAndCaptureAll(
        {where.lp, "-d", where.name, "-t", name, "--", file.Path()}, {}, output, errors, nullptr);
    if (status < 0) {
        Show(eCreateFailed, "lp could not be started to print on " + Quoted(where.name) + ".");
    } else if (status != 0) {
        const std::string line = FirstLine(errors);
        Show(eCreateFailed,
             "Printing on " + Quoted(where.name) + " failed.\n" +
                 (line.empty() ? "lp ended with status " + std::to_string(status) : line));
    }
    return eNoError;
}

void CSMKPrintManager::OfferPdf(const std::string& title, CImage& image, const std::string& why) {
    if (gCFileDlg::Backend().Confirm("No printer is set up (" + why +
                                     "). Save the page as a PDF file?") != eNoError) {
        return;
    }
    gCFTypeList types;
    gCFRef ref;
    error e = types.AddListType({ePDFFile, eLastTypeIndex});
    if (e == eNoError) {
        e = gCFileIO::InitSaveFRef(&ref, &types);
    }
    // A cancel is nothing; a dialog program that could not run has said so.
    if (e == eHandled || e == eCreateFailed) {
        return;
    }
    if (e != eNoError) {
        Show(e, "The page could not be saved as a PDF file.");
        return;
    }
    const std::string path = ref.PosixPath();
    std::string pdf, reason;
    if (DrawPrintPage(m_Setup, title, image, pdf, reason) != eNoError) {
        Show(eCreateFailed, "The page could not be drawn: " + reason + ".\n" + path);
        return;
    }
    gCFile file;
    e = gCFileIO::InitSaveFile(file, ref, nullptr, eAccessWholeNew);
    for (size_t done = 0; e == eNoError && done < pdf.size();) {
        const int32_t part = int32_t(std::min<size_t>(pdf.size() - done, 1u << 30));
        e = file.WriteBuffer(pdf.data() + done, part);
        done += size_t(part);
    }
    if (e != eNoError) {
        // The file it was to replace stays as it was.
        file.Discard();
    } else {
        e = file.Close();
    }
    if (e != eNoError) {
        Show(e, "The page could not be saved as a PDF file.\n" + path);
    }
}
