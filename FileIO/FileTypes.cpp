#include "FileIO/FileTypes.h"

#include <string_view>

const char16_t* const sFileName[eNumTypesIndex + 1] = {
    u"",
    u"All Files (*.*)",
    u"Image Files Flag.",
    u"BMP Image (*.bmp)",
    u"JPEG Image (*.jpg)",
    u"PNG Image (*.png)",
    u"Last Image File Flag.",
    u"Text Files Flag",
    u"Text File (*.txt)",
    u"Header File (*.h)",
    u"PDF File (*.pdf)",
    u"Last Text File Flag.",
    u"Vantor Files Flag.",
    u"Vantor Res File (*.vrf)",
    u"Vantor Res Script (*.txt)",
    u"Last Vantor File Flag.",
    u"Audio Files Flag",
    u"WAV Audio (*.wav)",
    u"Last Audio File Flag.",
    u"Group Types Flag",
    u"All Image Files.",
    u"Last Group Types Flag",
    u"Unknown File Type.",
    u"Last Type Index.",
    u"Num Types Index.",
};

const char16_t* const sPCFileType[eNumTypesIndex + 1] = {
    u"",
    u".*",
    u"",
    u".bmp",
    u".jpg",
    u".png",
    u"",
    u"",
    u".txt",
    u".h",
    u".pdf",
    u"",
    u"",
    u".vrf",
    u".txt",
    u"",
    u"",
    u".wav",
    u"",
    u"",
    u".bmp,.jpg,.png",
    u"",
    u"",
    u"Last Type Index.",
    u"Num Types Index.",
};

const uint32_t eMacFileType[eNumTypesIndex + 1] = {
    kNoMacType,
    kNoMacType,
    0,
    kNoMacType,
    FourCC("JPEG"),
    kNoMacType,
    0,
    0,
    FourCC("TEXT"),
    FourCC("TEXT"),
    kNoMacType,
    0,
    0,
    FourCC("VRES"),
    FourCC("TEXT"),
    0,
    0,
    kNoMacType,
    0,
    0,
    FourCC("JPEG"),
    0,
    kNoMacType,
    0,
    0,
};

eFileType FileTypeFromSuffix(const char16_t* suffix, int32_t length) {
    const std::u16string_view s(suffix ? suffix : u"", suffix ? size_t(length) : 0);
    for (int32_t row = 0; row <= eUnknownFileType; ++row) {
        if (s == std::u16string_view(sPCFileType[row])) {
            return eFileType(row);
        }
    }
    return eUnknownFileType;
}
