#pragma once
// Where the interface sends the painter: the manual beside the program
// (Resources/Manual/index.html) and the two links of the welcome and about
// boxes. Until the program has a public home page, the web link is the
// manual itself and the payment link its section on supporting the work.
// Every address lives here.

#include <string>

#include "foundation/gCString.h"

namespace Links {

// The manual, relative to the program's folder, in colon form.
inline constexpr char16_t kManualRelative[] = u"Resources:Manual:index.html";
// The manual's section on supporting the work.
inline constexpr char kSupportSection[] = "#support";

// The manual's POSIX path; empty when the program's folder is unknown.
std::string ManualPath();
// "file://" and the manual's path, every byte outside the unreserved
// characters and '/' percent-encoded; empty without a path.
std::string FileUrl(const std::string& posixPath);
// The web link and the payment link.
gCString WebLink();
gCString PaymentLink();

} // namespace Links
