#pragma once
// A temporary folder registered as the volume "HD" for the length of a
// test, so that colon paths like "HD:Users:me:picture.jpg" name real files.

#include <gtest/gtest.h>

#include <string>

#include "foundation/gCString.h"

class TempVolume : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates a file (and its folders) at a path relative to the volume.
    void MakeFile(const std::string& relative, const std::string& content = "x");
    void MakeFolder(const std::string& relative);
    std::string Posix(const std::string& relative) const { return m_Root + "/" + relative; }
    // How many files and folders the volume's top folder holds: what a
    // failed or finished save must leave there (no temporary file).
    int32_t FolderEntries() const;

    std::string m_Root;
};

// A toolkit string from UTF-8 text.
gCString S(const char* utf8);
// A toolkit string's text as UTF-8.
std::string U(const gCString& s);
