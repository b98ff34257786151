#include "FileIO/gCFRelative.h"

#include <string>
#include <utility>

#include "FileIO/detail/ApplicationRoot.h"
#include "FileIO/detail/LegalPath.h"
#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFileIO.h"
#include "foundation/ErrorReport.h"

namespace {

// Shows the bad input to the user and refuses it.
error Refuse(const char* detail) {
    (void)ReportError(eBadParameter, detail); // the alert always answers 0
    return eBadParameter;
}

std::u16string_view DropLeadingColon(std::u16string_view t) {
    if (!t.empty() && t.front() == u':') {
        t.remove_prefix(1);
    }
    return t;
}

} // namespace

gCFRelative::gCFRelative(const gCString& text) {
    // A constructor has no result: the user has seen why the text was
    // refused, and the valid flag tells.
    (void)SetReference(text);
}

gCFRelative::gCFRelative(const gCFRelative& other) : gCBaseObject() {
    *this = other;
}

gCFRelative& gCFRelative::operator=(const gCFRelative& other) {
    if (this == &other) {
        return *this;
    }
    gCString path, name, suffix;
    if (SetText(path, TextOf(other.m_Path)) != eNoError ||
        SetText(name, TextOf(other.m_Name)) != eNoError ||
        SetText(suffix, TextOf(other.m_Suffix)) != eNoError) {
        Invalidate(); // an assignment has no result: emptied, never a mix
        return *this;
    }
    m_fValid = other.m_fValid;
    m_Path = std::move(path);
    m_Name = std::move(name);
    m_Suffix = std::move(suffix);
    m_nFileType = other.m_nFileType;
    m_nMacType = other.m_nMacType;
    return *this;
}

error gCFRelative::SetReference(const gCString& text) {
    m_fValid = 0;
    if (!IsLegalPath(text)) {
        return Refuse("Illegal reference passed to gCFRelative.");
    }
    gCString rest;
    error e = SetText(rest, DropLeadingColon(TextOf(text)));
    if (e == eNoError) {
        e = ExtractData(rest);
    }
    if (e != eNoError) {
        // The alert always answers 0; the extraction's error is the result.
        (void)ReportError(eBadParameter, "Failed to extract path data in gCFRelative.");
        return e;
    }
    UpdateValid();
    return eNoError;
}

error gCFRelative::ExtractData(const gCString& text) {
    if (!IsLegalPath(text)) {
        return Refuse("Illegal reference passed to gCFRelative.");
    }
    const std::u16string_view t = DropLeadingColon(TextOf(text));
    const size_t dot = t.rfind(u'.');
    std::u16string_view stem = t;
    std::u16string_view x;
    if (dot != std::u16string_view::npos && dot != 0) {
        x = t.substr(dot);
        stem = t.substr(0, dot);
    }
    const size_t colon = stem.rfind(u':');
    if (colon != std::u16string_view::npos && colon + 1 == stem.size()) {
        return Refuse("Couldn't find a file name in gCFRelative.");
    }
    const size_t nameStart = colon == std::u16string_view::npos ? 0 : colon + 1;
    // Every field is made before any is taken: a failure changes nothing.
    gCString suffix, name, path;
    error e = eNoError;
    if ((e = SetText(suffix, x)) != eNoError ||
        (e = SetText(name, stem.substr(nameStart))) != eNoError ||
        (e = SetText(path, stem.substr(0, nameStart))) != eNoError) {
        return e;
    }
    m_Suffix = std::move(suffix);
    m_Name = std::move(name);
    m_Path = std::move(path);
    m_nFileType = x.empty() ? eUnknownFileType : FileTypeFromSuffix(x.data(), int32_t(x.size()));
    m_nMacType = eMacFileType[m_nFileType];
    return eNoError;
}

error gCFRelative::SetPath(const gCString& path) {
    if (!IsLegalPath(path)) {
        return Refuse("Illegal path reference passed to gCFRelative.");
    }
    std::u16string p(DropLeadingColon(TextOf(path)));
    if (!p.empty() && p.back() != u':') {
        p += u':';
    }
    const error e = SetText(m_Path, p);
    if (e != eNoError) {
        return e;
    }
    UpdateValid();
    return eNoError;
}

error gCFRelative::SetName(const gCString& name) {
    if (!IsLegalPath(name)) {
        return Refuse("Illegal name passed to gCFRelative.");
    }
    const error e = SetText(m_Name, TextOf(name));
    if (e != eNoError) {
        return e;
    }
    UpdateValid();
    return eNoError;
}

error gCFRelative::SetSuffix(const gCString& suffix) {
    if (!IsLegalPath(suffix)) {
        return Refuse("Illegal suffix passed to gCFRelative.");
    }
    const std::u16string_view s = TextOf(suffix);
    const error e =
        !s.empty() && s.front() != u'.' ? JoinText(m_Suffix, {u".", s}) : SetText(m_Suffix, s);
    if (e != eNoError) {
        return e;
    }
    UpdateValid();
    return eNoError;
}

error gCFRelative::SetMacType(uint32_t macType) {
    m_nMacType = macType;
    UpdateValid();
    return eNoError;
}

error gCFRelative::SetType(eFileType row) {
    if (row == eNoFileType) {
        return Refuse("No file type passed to gCFRelative.");
    }
    if (row < eNoFileType || row > eUnknownFileType) {
        return Refuse("Out of bounds file type passed to gCFRelative.");
    }
    const error e = SetText(m_Suffix, sPCFileType[row]);
    if (e != eNoError) {
        return e;
    }
    m_nFileType = row;
    m_nMacType = eMacFileType[row];
    UpdateValid();
    return eNoError;
}

error gCFRelative::SetType(const gCString& suffix, uint32_t macType) {
    if (!IsLegalPath(suffix)) {
        return Refuse("Illegal suffix passed to gCFRelative.");
    }
    const error e = SetText(m_Suffix, TextOf(suffix));
    if (e != eNoError) {
        return e;
    }
    m_nFileType = eUnknownFileType;
    m_nMacType = macType;
    UpdateValid();
    return eNoError;
}

void gCFRelative::UpdateValid() {
    m_fValid = !TextOf(m_Name).empty() && IsLegalPath(m_Path) && IsLegalPath(m_Name) &&
                       IsLegalPath(m_Suffix) && m_nFileType != eNoFileType
                   ? 1
                   : 0;
}

gCString gCFRelative::Compose(const gCString& start) const {
    if (!m_fValid) {
        (void)ReportError(eBadParameter, "Attempted to access invalid gCFRelative."); // always 0
        return gCString();
    }
    std::u16string t = TextCopy(start);
    const std::u16string_view p = TextOf(m_Path);
    if (!p.empty()) {
        t += p;
        if (p.back() != u':') {
            t += u':';
        }
    }
    t += TextOf(m_Name);
    const std::u16string_view x = TextOf(m_Suffix);
    if (!x.empty()) {
        if (x.front() != u'.') {
            t += u'.';
        }
        t += x;
    }
    // Without memory the text is '', which names no file.
    return MakeString(t);
}

gCString gCFRelative::FileReference() const {
    gCString root;
    if (m_fValid && gGetApplicationRoot(root) != eNoError) {
        return gCString(); // no application folder: the reference names nothing
    }
    return Compose(root);
}

gCString gCFRelative::RelativeReference() const {
    return Compose(gCString());
}

bool gCFRelative::Exists() const {
    if (!m_fValid) {
        return false;
    }
    gCFRelative copy(*this);
    return gCFileIO::Verify(copy);
}

void gCFRelative::Invalidate() {
    // Freeing cannot fail.
    (void)m_Path.Destroy();
    (void)m_Name.Destroy();
    (void)m_Suffix.Destroy();
    m_nMacType = kNoMacType;
    m_nFileType = eNoFileType;
    m_fValid = 0;
}
