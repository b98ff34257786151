#include "devtools/rc/Diagnostics.h"

void Diagnostics::Error(const SourcePlace& place, const std::string& message) {
    m_Messages.push_back(place.file + ":" + std::to_string(place.line) + ": " + message);
}

void Diagnostics::Error(const std::string& message) {
    m_Messages.push_back(message);
}

void Diagnostics::Warning(const SourcePlace& place, const std::string& message) {
    m_Warnings.push_back(place.file + ":" + std::to_string(place.line) + ": warning: " + message);
}
