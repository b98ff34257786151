#pragma once
// The toolkit's fixed table of file types: a description for dialogs, an
// extension and a four-character Finder type per row. Rows 2 to 21 form
// groups (a flag row, its members, a closing row); row 22 is the type of a
// suffix that matches nothing, row 23 ends AddListType's arguments and row
// 24 is the number of rows.

#include <cstdint>

enum eFileType : int32_t {
    eNoFileType = 0,
    eAllFiles = 1,
    eImageFilesFlag = 2,
    eBMPFile = 3,
    eJPEGFile = 4,
    ePNGFile = 5,
    eLastImageFileFlag = 6,
    eTextFilesFlag = 7,
    eTextFile = 8,
    eHeaderFile = 9,
    ePDFFile = 10,
    eLastTextFileFlag = 11,
    eVantorFilesFlag = 12,
    eVantorResFile = 13,
    eVantorResScript = 14,
    eLastVantorFileFlag = 15,
    eAudioFilesFlag = 16,
    eWAVFile = 17,
    eLastAudioFileFlag = 18,
    eGroupTypesFlag = 19,
    eAllImageFiles = 20,
    eLastGroupTypesFlag = 21,
    eUnknownFileType = 22,
    eLastTypeIndex = 23,
    eNumTypesIndex = 24,
};

// A four-character code as the 32-bit value it is compared as.
constexpr uint32_t FourCC(const char (&c)[5]) {
    return (uint32_t(uint8_t(c[0])) << 24) | (uint32_t(uint8_t(c[1])) << 16) |
           (uint32_t(uint8_t(c[2])) << 8) | uint32_t(uint8_t(c[3]));
}

constexpr uint32_t kNoMacType = FourCC("????");

// On Linux files carry no Finder type: "????" and 0 both mean "no type".
constexpr bool IsNoMacType(uint32_t macType) {
    return macType == kNoMacType || macType == 0;
}

extern const char16_t* const sFileName[eNumTypesIndex + 1];
extern const char16_t* const sPCFileType[eNumTypesIndex + 1];
extern const uint32_t eMacFileType[eNumTypesIndex + 1];

// The first of rows 0 to 22 whose extension equals the suffix exactly
// (case-sensitive); eUnknownFileType when none does. An empty suffix
// matches row 0.
eFileType FileTypeFromSuffix(const char16_t* suffix, int32_t length);
