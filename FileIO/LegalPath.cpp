#include "FileIO/detail/LegalPath.h"

#include "foundation/StringUnits.h"

bool IsLegalPath(const gCString& text) {
    for (char16_t u : TextOf(text)) {
        switch (u) {
        case u'\\':
        case u'/':
        case u'*':
        case u'?':
        case u'<':
        case u'>':
        case u'|':
            return false;
        default:
            break;
        }
    }
    return true;
}
