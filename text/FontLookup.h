#pragma once
// Finding installed fonts: a full name found exactly ("DejaVu Sans Bold"),
// or the font the system substitutes for a family ("Helvetica" always gives
// some face when any font is installed). The program asks fontconfig; tests
// install a lookup of their own.

#include <cstdint>
#include <string>

// Where a face lives: its file and its index within the file.
struct SFontLocation {
    std::string path; // POSIX, UTF-8
    int32_t index = 0;
};

class CFontLookup {
public:
    virtual ~CFontLookup() = default;

    // The installed face carrying exactly that full name; false when none
    // does. Several candidates: the first by path, then index.
    virtual bool FindFullName(const std::string& fullName, SFontLocation& where) = 0;
    // The installed face the system's substitution rules give for a
    // family; false only when nothing at all matches.
    virtual bool MatchFamily(const std::string& family, SFontLocation& where) = 0;

    // The lookup in use: the installed one, or fontconfig's by default.
    static CFontLookup& Get();
    // Installs a lookup (null: back to fontconfig's); gives the previous one
    // (null when it was fontconfig's).
    static CFontLookup* Install(CFontLookup* lookup);
};

// The lookup over fontconfig's default configuration.
CFontLookup& FontconfigLookup();
