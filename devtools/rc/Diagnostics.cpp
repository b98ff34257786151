#include "devtools/rc/Diagnostics.h"

std::string Where(const SourcePlace& place) {
    return place.file + ":" + std::to_string(place.line);
}

void Diagnostics::Error(const SourcePlace& place, const std::string& message) {
    m_Messages.push_back(Where(place) + ": " + message);
}

void Diagnostics::Error(const std::string& message) {
    m_Messages.push_back(message);
}

void Diagnostics::Warning(const SourcePlace& place, const std::string& message) {
    m_Warnings.push_back(Where(place) + ": warning: " + message);
}
