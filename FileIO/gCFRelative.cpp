#include "FileIO/gCFRelative.h"

#include "FileIO/detail/ApplicationRoot.h"
#include "FileIO/detail/LegalPath.h"
#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFileIO.h"
#include "foundation/ErrorReport.h"

namespace {

error Refuse(const char* detail) {
    ReportError(eBadParameter, detail);
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
    SetReference(text);
}

error gCFRelative::SetReference(const gCString& text) {
    m_fValid = 0;
    if (!IsLegalPath(text)) {
        return Refuse("Illegal reference passed to gCFRelative.");
    }
    const error e = ExtractData(MakeString(DropLeadingColon(TextOf(text))));
    if (e != eNoError) {
        ReportError(eBadParameter, "Failed to extract path data in gCFRelative.");
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
    if (dot != std::u16string_view::npos && dot != 0) {
        m_Suffix = MakeString(t.substr(dot));
        stem = t.substr(0, dot);
    } else {
        m_Suffix.Destroy();
    }
    const size_t colon = stem.rfind(u':');
    if (colon == std::u16string_view::npos) {
        m_Name = MakeString(stem);
        m_Path.Destroy();
    } else if (colon + 1 == stem.size()) {
        return Refuse("Couldn't find a file name in gCFRelative.");
    } else {
        m_Name = MakeString(stem.substr(colon + 1));
        m_Path = MakeString(stem.substr(0, colon + 1));
    }
    const std::u16string_view s = TextOf(m_Suffix);
    if (s.empty()) {
        m_nFileType = eUnknownFileType;
    } else {
        m_nFileType = FileTypeFromSuffix(s.data(), int32_t(s.size()));
    }
    m_nMacType = eMacFileType[m_nFileType];
    return eNoError;
}

error gCFRelative::SetPath(const gCString& path) {
    if (!IsLegalPath(path)) {
        return Refuse("Illegal path reference passed to gCFRelative.");
    }
    m_Path = MakeString(DropLeadingColon(TextOf(path)));
    const std::u16string_view p = TextOf(m_Path);
    if (!p.empty() && p.back() != u':') {
        m_Path.AppendString(u":");
    }
    UpdateValid();
    return eNoError;
}

error gCFRelative::SetName(const gCString& name) {
    if (!IsLegalPath(name)) {
        return Refuse("Illegal name passed to gCFRelative.");
    }
    m_Name = name;
    UpdateValid();
    return eNoError;
}

error gCFRelative::SetSuffix(const gCString& suffix) {
    if (!IsLegalPath(suffix)) {
        return Refuse("Illegal suffix passed to gCFRelative.");
    }
    const std::u16string_view s = TextOf(suffix);
    if (!s.empty() && s.front() != u'.') {
        m_Suffix.CopyString(u".");
        m_Suffix.AppendString(suffix);
    } else {
        m_Suffix = suffix;
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
    m_nFileType = row;
    m_Suffix = MakeString(sPCFileType[row]);
    m_nMacType = eMacFileType[row];
    UpdateValid();
    return eNoError;
}

error gCFRelative::SetType(const gCString& suffix, uint32_t macType) {
    if (!IsLegalPath(suffix)) {
        return Refuse("Illegal suffix passed to gCFRelative.");
    }
    m_nFileType = eUnknownFileType;
    m_Suffix = suffix;
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
        ReportError(eBadParameter, "Attempted to access invalid gCFRelative.");
        return gCString();
    }
    gCString s(start);
    const std::u16string_view p = TextOf(m_Path);
    if (!p.empty()) {
        s.AppendString(m_Path);
        if (p.back() != u':') {
            s.AppendString(u":");
        }
    }
    s.AppendString(m_Name);
    const std::u16string_view x = TextOf(m_Suffix);
    if (!x.empty()) {
        if (x.front() != u'.') {
            s.AppendString(u".");
        }
        s.AppendString(m_Suffix);
    }
    return s;
}

gCString gCFRelative::FileReference() const {
    gCString root;
    if (m_fValid) {
        gGetApplicationRoot(root);
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
    m_Path.Destroy();
    m_Name.Destroy();
    m_Suffix.Destroy();
    m_nMacType = kNoMacType;
    m_nFileType = eNoFileType;
    m_fValid = 0;
}
