#pragma once
// Where a source entry came from, and the compiler's error messages: each
// names the source file and line ("strings.yaml:12: ...").

#include <string>
#include <vector>

struct SourcePlace {
    std::string file; // as given to the compiler
    int line = 0;     // 1-based
};

// The place as "file:line".
std::string Where(const SourcePlace& place);

class Diagnostics {
public:
    void Error(const SourcePlace& place, const std::string& message);
    // An error that belongs to no source entry (a file that cannot be written).
    void Error(const std::string& message);
    // A note that does not fail the build.
    void Warning(const SourcePlace& place, const std::string& message);
    bool Failed() const { return !m_Messages.empty(); }
    const std::vector<std::string>& Messages() const { return m_Messages; }
    const std::vector<std::string>& Warnings() const { return m_Warnings; }

private:
    std::vector<std::string> m_Messages;
    std::vector<std::string> m_Warnings;
};
