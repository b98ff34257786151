#pragma once
// Volumes of colon paths over the Linux file system. Each volume name maps
// to a POSIX folder; the default volume stands for "/". A colon path names
// the volume first ("Root:home:me:pic.png"); each further component is one
// folder or file name, where a '/' in a component is ':' on disk and back,
// so every POSIX name round-trips. Names are UTF-8 on disk; bytes that are
// not valid UTF-8 become lone surrogates and back.

#include <string>
#include <string_view>
#include <vector>

#include "foundation/Error.h"

class gCString;

class gCVolumeTable {
public:
    struct Volume {
        std::u16string name; // without the ':'
        std::string folder;  // absolute POSIX folder, no trailing '/' except for "/"
    };

    // The default volume's name: it stands for the root folder.
    static constexpr std::u16string_view kRootVolume = u"Root";

    // Adds a volume or moves an existing one to another folder.
    static void Register(std::u16string_view name, const std::string& folder);
    static void Unregister(std::u16string_view name);
    // Back to the default volume alone.
    static void Reset();
    static std::vector<Volume> Volumes();

    // A colon path to its absolute POSIX path. 6 when the text names no
    // known volume. A trailing ':' gives a trailing '/'.
    static error ColonToPosix(std::u16string_view colon, std::string& posix);
    static error ColonToPosix(const gCString& colon, std::string& posix);

    // An absolute POSIX path to its colon path under the volume whose folder
    // is its longest prefix: "Vol:" for the volume's folder itself, else
    // "Vol:a:b" (no trailing ':'). 6 for a path that is not absolute.
    static error PosixToColon(const std::string& posix, std::u16string& colon);
};
