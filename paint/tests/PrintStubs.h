#pragma once
// What the print tests share: poppler's tools to read a page back, and stub
// lp, lpstat and zenity programs first on PATH, each scripted by small files
// in the volume and recording what it was given there.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FileIO/Spawn.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/FileIO/TestBytes.h"

// Runs one of poppler's tools; a missing tool or a failing run fails the
// test. Its standard output.
inline std::string Poppler(const std::string& tool, const std::vector<std::string>& arguments) {
    // Found where Debian puts them: the stub tests leave PATH to the stubs.
    std::string program = gFindProgram("/usr/bin/" + tool);
    if (program.empty()) {
        program = gFindProgram(tool);
    }
    EXPECT_FALSE(program.empty()) << tool << " is missing: install poppler-utils";
    if (program.empty()) {
        return std::string();
    }
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::string output, errors;
    EXPECT_EQ(gSpawnAndCaptureAll(argv, {}, output, errors, nullptr), 0) << tool << ": " << errors;
    return output;
}

// pdfinfo's value of a field ("Pages", "Page size", "Title"), "" without.
inline std::string PdfField(const std::string& pdf, const std::string& field) {
    std::string info(1, '\n');
    info += Poppler("pdfinfo", {pdf});
    const size_t at = info.find("\n" + field + ":");
    if (at == std::string::npos) {
        return std::string();
    }
    const size_t start = info.find_first_not_of(' ', at + field.size() + 2);
    return info.substr(start, info.find('\n', start) - start);
}

// The environment variables a test changes, put back when it ends.
class CEnvironmentGuard {
public:
    explicit CEnvironmentGuard(std::vector<std::string> names) {
        for (const std::string& name : names) {
            const char* value = std::getenv(name.c_str());
            m_Saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
    }
    ~CEnvironmentGuard() {
        for (const auto& [name, value] : m_Saved) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }
    CEnvironmentGuard(const CEnvironmentGuard&) = delete;
    CEnvironmentGuard& operator=(const CEnvironmentGuard&) = delete;

private:
    std::map<std::string, std::optional<std::string>> m_Saved;
};

// A volume with a folder of stub programs alone on PATH (the stubs name the
// shell's tools by their paths), so that no program of the machine's takes
// part; a private TMPDIR; no printer variables from the machine, and A4 as
// the system's paper.
class PrintStubs : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        MakeFolder("bin");
        MakeFolder("tmp");
        ::setenv("PATH", Posix("bin").c_str(), 1);
        ::setenv("TMPDIR", Posix("tmp").c_str(), 1);
        ::unsetenv("LPDEST");
        ::unsetenv("PRINTER");
        ::setenv("PAPERSIZE", "a4", 1);
    }

    void Stub(const std::string& program, const std::string& body) {
        const std::string path = Posix("bin/" + program);
        std::string script = "#!/bin/sh\nd='";
        script.append(m_Root).append("'\n").append(body).append("\n");
        WriteFileBytes(path, script);
        ::chmod(path.c_str(), 0755);
    }
    // lp: records its arguments and a copy of its file with the file's
    // mode, then writes lp-stderr to standard error and exits lp-status.
    void StubLp() {
        Stub("lp", "printf '%s\\n' \"$@\" > \"$d/lp-args.txt\"\n"
                   "for last; do :; done\n"
                   "/bin/cp \"$last\" \"$d/lp-got.pdf\"\n"
                   "/usr/bin/stat -c %a \"$last\" > \"$d/lp-mode.txt\"\n"
                   "[ -f \"$d/lp-stderr\" ] && /bin/cat \"$d/lp-stderr\" >&2\n"
                   "exit $(/bin/cat \"$d/lp-status\" 2>/dev/null || echo 0)");
    }
    // lpstat: records LC_ALL, prints lpstat-out and exits lpstat-status.
    void StubLpstat(const std::string& output, int status = 0) {
        WriteFileBytes(Posix("lpstat-out"), output);
        WriteFileBytes(Posix("lpstat-status"), status ? "1" : "0");
        Stub("lpstat", "printf '%s' \"$LC_ALL\" > \"$d/lpstat-lcall.txt\"\n"
                       "/bin/cat \"$d/lpstat-out\"\n"
                       "exit $(/bin/cat \"$d/lpstat-status\")");
    }
    // zenity: a question exits answer-question; a file selection prints
    // answer-file (cancelled without it); a form prints answer-forms
    // (cancelled without it). Each call's arguments go to <kind>-args.txt.
    void StubZenity() {
        Stub("zenity",
             "k=${1#--}\n"
             "printf '%s\\n' \"$@\" > \"$d/$k-args.txt\"\n"
             "case \"$1\" in\n"
             "--question) exit $(/bin/cat \"$d/answer-question\" 2>/dev/null || echo 1) ;;\n"
             "--file-selection) [ -f \"$d/answer-file\" ] || exit 1; "
             "/bin/cat \"$d/answer-file\" ;;\n"
             "--forms) [ -f \"$d/answer-forms\" ] || exit 1; "
             "/bin/cat \"$d/answer-forms\" ;;\n"
             "esac");
    }
    void AnswerQuestion(bool yes) { WriteFileBytes(Posix("answer-question"), yes ? "0" : "1"); }
    void AnswerFile(const std::string& relative) {
        WriteFileBytes(Posix("answer-file"), Posix(relative) + "\n");
    }
    void AnswerForms(const std::string& text) {
        WriteFileBytes(Posix("answer-forms"), text + "\n");
    }

    // The recorded lines of a stub's file; empty when it did not run.
    std::vector<std::string> Lines(const std::string& relative) {
        std::vector<std::string> lines;
        const std::string text = FileBytes(Posix(relative));
        size_t start = 0;
        while (start < text.size()) {
            const size_t end = text.find('\n', start);
            lines.push_back(text.substr(start, end - start));
            start = end == std::string::npos ? text.size() : end + 1;
        }
        return lines;
    }
    // What the private temporary folder holds.
    int32_t TemporaryEntries() const {
        int32_t n = 0;
        for ([[maybe_unused]] const auto& entry :
             std::filesystem::directory_iterator(Posix("tmp"))) {
            ++n;
        }
        return n;
    }

    CEnvironmentGuard m_Environment{
        {"PATH", "TMPDIR", "LPDEST", "PRINTER", "PAPERSIZE", "PAPERCONF"}};
};
