#include "ui/Links.h"

#include "FileIO/VolumeTable.h"
#include "foundation/AppServices.h"
#include "foundation/Utf8.h"

namespace Links {

namespace {

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
}

gCString FromUtf8(const std::string& text) {
    gCString s;
    (void)gStringFromUtf8(s, text); // empty without memory
    return s;
}

} // namespace

std::string ManualPath() {
    CAppServices* services = CAppServices::Get();
    if (!services) {
        return {};
    }
    gCString root;
    services->GetApplicationRoot(root);
    if (root.GetLength() == 0 || root.AppendString(kManualRelative) != eNoError) {
        return {};
    }
    std::string posix;
    if (gCVolumeTable::ColonToPosix(root, posix) != eNoError) {
        return {};
    }
    return posix;
}

std::string FileUrl(const std::string& posixPath) {
    if (posixPath.empty()) {
        return {};
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char ch : posixPath) {
        const auto c = static_cast<unsigned char>(ch);
        if (Unreserved(c)) {
            url += ch;
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    return url;
}

gCString WebLink() {
    return FromUtf8(FileUrl(ManualPath()));
}

gCString PaymentLink() {
    const std::string url = FileUrl(ManualPath());
    return FromUtf8(url.empty() ? url : url + kSupportSection);
}

} // namespace Links
