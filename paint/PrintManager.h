#pragma once
// Printing a painting: the page set-up kept for the run (never saved), and
// one page, the picture centred at 90 % of the largest size that fits with
// the project's name as its title, drawn as a PDF and handed to lp; with no
// printer the page can be saved as a PDF file instead. Every failure is
// shown once as an alert and answered 0, so no caller shows it again; a
// cancel shows nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCCmdTarget.h"
#include "foundation/gCString.h"

class CImage;

// A paper in whole points, portrait.
struct sPaper {
    std::string name;
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const sPaper&) const = default;
};

struct sPageSetup {
    sPaper paper;
    bool landscape = false;

    bool operator==(const sPageSetup&) const = default;

    // The sheet as it lies: landscape swaps the paper's sides.
    int32_t Width() const { return landscape ? paper.height : paper.width; }
    int32_t Height() const { return landscape ? paper.width : paper.height; }
    // "A4, portrait".
    std::string Describe() const;
};

// A4, US Letter, A3 and Legal.
const std::vector<sPaper>& StandardPapers();
// The system's paper as libpaper names it (PAPERSIZE, else the papersize
// file): one of the four when its rounded size is theirs, else that paper
// by its rounded size; A4 when it names none, or one libpaper does not know.
sPaper SystemPaper();

// The printable area lies this far in from every edge of the paper.
constexpr int32_t kPrintMargin = 18;

// Where an image of iw x ih goes on a page of pw x ph: centred at 90 % of
// the largest size that fits, the scale in single precision, the half page
// in whole points and the margins truncated. Relative to the page.
gCRect PrintImageRect(int32_t pw, int32_t ph, int32_t iw, int32_t ih);

class CSMKPrintManager : public gCCmdTarget {
public:
    int32_t ProcessData(uint32_t, const void*, int64_t, int32_t) override { return 0; }

    // Takes the system's paper, portrait, as the starting set-up; a
    // failure here would cost the whole document, so there is none: 0.
    virtual error Initialise();
    // Asks for the paper and orientation; an empty field keeps its value,
    // cancel keeps both. 0 (a dialog that could not be shown has said why).
    error SetPrintSettings();
    // Prints one page of the image titled with the project's name (UTF-8
    // on the page and as the document's title); the third argument is not
    // used. Always 0: failures are shown here.
    error Print(const gCString& title, CImage* image, int32_t unused);

    const sPageSetup& PageSetup() const { return m_Setup; }

private:
    // No printer: offers to save the page as a PDF file.
    void OfferPdf(const std::string& title, CImage& image, const std::string& why);

    sPageSetup m_Setup;
    int32_t m_fInitialised = 0;
};
