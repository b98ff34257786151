#pragma once
// Running the built resource compiler from a test, on sources written into
// a temporary folder.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gCFile.h"
#include "gCString.h"

struct CompilerResult {
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

// Runs daublin-rc with the arguments.
CompilerResult RunCompiler(const std::vector<std::string>& arguments);

class CompilerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string Path(const std::string& relative) const { return m_Root + "/" + relative; }
    // Writes a file below the temporary folder, making its folders.
    void WriteFile(const std::string& relative, const std::string& bytes);
    // Compiles the YAML text as <folder>/source.yaml into <folder>/out.
    CompilerResult Compile(const std::string& folder, const std::string& yaml);
    // Opens a compiled file for reading.
    void OpenOutput(gCFile& file, const std::string& folder, const char* name);

    std::string m_Root;
};

gCString S(const char* utf8);
std::string U(const gCString& s);
