#pragma once
// The printed page as a PDF, and the files and programs a print uses.

#include <cairo.h>

#include <string>

#include "foundation/Error.h"
#include "paint/PrintManager.h"

class CImage;

// Draws one page of the sheet's size: the image in PrintImageRect of the
// printable area, stored losslessly at full resolution, and the title in
// DejaVu Sans 12 pt centred above it. The whole PDF in pdf; on failure
// eCreateFailed with cairo's reason in why.
error DrawPrintPage(const sPageSetup& setup, const std::string& title, CImage& image,
                    std::string& pdf, std::string& why);

// For tests: called with the page's context just before it is finished,
// so that a test can make cairo fail. Null in the program.
extern void (*g_pPrintPageHook)(cairo_t* cr);

// A private temporary file (mode 0600, under TMPDIR) holding the bytes
// given, removed when this goes.
class CPrintTemporary {
public:
    CPrintTemporary() = default;
    ~CPrintTemporary();
    CPrintTemporary(const CPrintTemporary&) = delete;
    CPrintTemporary& operator=(const CPrintTemporary&) = delete;

    // False with the reason in why; nothing is left behind then.
    bool Write(const std::string& bytes, std::string& why);
    const std::string& Path() const { return m_Path; }

private:
    std::string m_Path;
};

// Where a print goes: lp's path and the destination's name; either empty
// with the reason in why.
struct sPrintDestination {
    std::string lp;
    std::string name;
    std::string why;
};

// $LPDEST, else $PRINTER, else the default lpstat -d names.
sPrintDestination FindPrintDestination();
