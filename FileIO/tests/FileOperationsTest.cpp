// Whole-file operations on a temporary volume: copying, moving, deleting,
// whole memory files, folders, volumes and launching.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFRelative.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "FileIO/gCFolderRef.h"
#include "FileIO/gCMemFile.h"
#include "FileIO/gCVolumeRef.h"
#include "testsupport/FileIO/ScriptedDialog.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/FileIO/TestBytes.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

class FileOps : public TempVolume {
protected:
    bool Exists(const std::string& relative) const {
        return std::filesystem::exists(Posix(relative));
    }
};

TEST_F(FileOps, CopyOntoAnExistingTargetIsRefusedWhenAsked) {
    MakeFile("a.txt", "source");
    MakeFile("b.txt", "target");
    EXPECT_EQ(gCFileIO::FileCopy(S("HD:a.txt"), S("HD:b.txt"), 1), eBadParameter);
    EXPECT_EQ(FileBytes(Posix("a.txt")), "source");
    EXPECT_EQ(FileBytes(Posix("b.txt")), "target");
    EXPECT_EQ(gCFileIO::FileCopy(S("HD:a.txt"), S("HD:b.txt"), 0), eNoError);
    EXPECT_EQ(FileBytes(Posix("b.txt")), "source");
}

// A source that reads short (a kernel file whose stated length exceeds what
// it gives) stops the copy part-way: the existing target must survive.
TEST_F(FileOps, CopyThatStopsPartWayLeavesTheTargetAlone) {
    const std::string source = "/sys/devices/system/cpu/online";
    std::error_code ec;
    if (std::filesystem::file_size(source, ec) <= FileBytes(source).size() || ec) {
        GTEST_SKIP() << "no short-reading source here";
    }
    MakeFile("b.txt", "precious");
    EXPECT_EQ(gCFileIO::FileCopy(S("Root:sys:devices:system:cpu:online"), S("HD:b.txt"), 0),
              eBadParameter);
    EXPECT_EQ(FileBytes(Posix("b.txt")), "precious");
    EXPECT_EQ(FolderEntries(), 1);
}

TEST_F(FileOps, CopyOfAMissingSourceFails) {
    EXPECT_EQ(gCFileIO::FileCopy(S("HD:none.txt"), S("HD:b.txt"), 0), eBadParameter);
    EXPECT_FALSE(Exists("b.txt"));
}

TEST_F(FileOps, CopyIntoAFolderKeepsNameAndSuffix) {
    MakeFile("a.txt", "data");
    MakeFolder("dest");
    gCFRef source(S("HD:a.txt"));
    gCFolderRef dest(S("HD:dest:"));
    EXPECT_EQ(gCFileIO::FileCopy(source, dest, 1), eNoError);
    EXPECT_EQ(FileBytes(Posix("dest/a.txt")), "data");
}

TEST_F(FileOps, MoveOntoAnExistingTargetIsRefused) {
    MakeFile("a.txt", "source");
    MakeFile("b.txt", "target");
    EXPECT_EQ(gCFileIO::FileMove(S("HD:a.txt"), S("HD:b.txt")), eBadParameter);
    EXPECT_EQ(FileBytes(Posix("a.txt")), "source");
    EXPECT_EQ(FileBytes(Posix("b.txt")), "target");
    EXPECT_EQ(gCFileIO::FileMove(S("HD:a.txt"), S("HD:c.txt")), eNoError);
    EXPECT_FALSE(Exists("a.txt"));
    EXPECT_EQ(FileBytes(Posix("c.txt")), "source");
}

TEST_F(FileOps, DeleteOfAMissingFileIsSixteen) {
    EXPECT_EQ(gCFileIO::FileDelete(S("HD:missing.txt")), eInvalidFile);
    MakeFile("here.txt");
    gCFolderRef root(S("HD:"));
    EXPECT_EQ(gCFileIO::FileDelete(root, S("here.txt")), eNoError);
    EXPECT_FALSE(Exists("here.txt"));
}

// A memory stream that keeps the size of every block written to it.
class RecordingMemFile : public gCMemFile {
public:
    error WriteBlock(const void* source, int32_t n) override {
        writes.push_back(n);
        return gCMemFile::WriteBlock(source, n);
    }
    std::vector<int32_t> writes;
};

TEST_F(FileOps, ByteCopyMovesChunksOfAtMost262144Bytes) {
    std::string data(600000, '\0');
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = char(i * 7 + i / 251);
    }
    MakeFile("big.bin", data);
    gCFRef ref(S("HD:big.bin"));
    gCFile source;
    ASSERT_EQ(source.Open(&ref, eAccessReadOnly), eNoError);
    ASSERT_EQ(source.SetFilePos(1000), eNoError); // copied from the start all the same
    RecordingMemFile destination;
    EXPECT_EQ(gCFileIO::ByteCopy(source, destination), eNoError);
    EXPECT_EQ(destination.writes, (std::vector<int32_t>{262144, 262144, 75712}));
    EXPECT_EQ(MemBytes(destination), data);
}

TEST(FileNames, IsLegalPath) {
    EXPECT_TRUE(gCFileIO::IsLegalPath(S("HD:Users:me")));
    EXPECT_FALSE(gCFileIO::IsLegalPath(S("a/b")));
    EXPECT_FALSE(gCFileIO::IsLegalPath(S("a*b")));
}

TEST_F(FileOps, FolderCopyOfAMissingSourceCopiesNothing) {
    MakeFolder("dest");
    gCFolderRef source(S("HD:nothing:"));
    gCFolderRef dest(S("HD:dest:"));
    EXPECT_EQ(gCFileIO::FolderCopy(source, dest, 1), eNoError);
    EXPECT_TRUE(std::filesystem::is_empty(Posix("dest")));
    gCFolderRef invalid;
    EXPECT_EQ(gCFileIO::FolderCopy(invalid, dest, 1), eGenericFailure);
}

TEST_F(FileOps, FolderCopyCopiesFilesAndSubfolders) {
    MakeFile("src/a.txt", "A");
    MakeFile("src/sub/b.txt", "B");
    MakeFolder("dest");
    gCFolderRef source(S("HD:src:"));
    gCFolderRef dest(S("HD:dest:"));
    EXPECT_EQ(gCFileIO::FolderCopy(source, dest, 0), eNoError);
    EXPECT_EQ(FileBytes(Posix("dest/a.txt")), "A");
    EXPECT_FALSE(Exists("dest/sub"));
    EXPECT_EQ(gCFileIO::FolderCopy(source, dest, 1), eNoError);
    EXPECT_EQ(FileBytes(Posix("dest/sub/b.txt")), "B");
}

// Memory running out at any allocation of a folder copy gives an error: a
// copy reported as done is whole, with every file under its own name (the
// listing used to drop entries it could not make, and the names used to
// lose their suffixes, all under a result of success).
TEST_F(FileOps, FolderCopyWithoutMemoryIsNeverReportedWhole) {
    CScriptedDialog noDialog; // a reference that is not valid asks nobody
    MakeFile("src/a.txt", "A");
    MakeFile("src/b.png", "PNG");
    MakeFile("src/sub/c.txt", "C");
    const gCFolderRef source(S("HD:src:"));
    const gCString destText = S("HD:dest:");
    bool whole = false;
    for (int32_t allowed = 0; allowed < 1000 && !whole; ++allowed) {
        SCOPED_TRACE(allowed);
        std::filesystem::remove_all(Posix("dest"));
        MakeFolder("dest");
        gCFolderRef from(source);
        gCFolderRef dest(destText);
        error e = eNoError;
        {
            CFailingMemory limited(allowed);
            e = gCFileIO::FolderCopy(from, dest, 1);
        }
        if (e == eNoError) {
            whole = true;
            EXPECT_EQ(FileBytes(Posix("dest/a.txt")), "A");
            EXPECT_EQ(FileBytes(Posix("dest/b.png")), "PNG");
            EXPECT_EQ(FileBytes(Posix("dest/sub/c.txt")), "C");
            EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(Posix("dest")),
                                    std::filesystem::recursive_directory_iterator()),
                      4)
                << "three files and the subfolder, nothing under another name";
        }
    }
    EXPECT_TRUE(whole) << "with memory enough the copy succeeds";
}

TEST_F(FileOps, DirectoryContentsAreColonReferencesToTheItems) {
    MakeFile("dir/a.txt");
    MakeFile("dir/b.png");
    MakeFolder("dir/sub");
    gCFolderRef folder(S("HD:dir:"));
    gCArray<gCFRef*> files;
    gCArray<gCFolderRef*> folders;
    EXPECT_EQ(gCFileIO::GetDirectoryContents(folder, &files, &folders), eNoError);
    ASSERT_EQ(files.GetSize(), 2);
    ASSERT_EQ(folders.GetSize(), 1);
    EXPECT_EQ(U(files[0]->FileReference()), "HD:dir:a.txt");
    EXPECT_EQ(U(files[1]->FileReference()), "HD:dir:b.png");
    EXPECT_EQ(files[1]->GetFileType(), ePNGFile);
    EXPECT_TRUE(files[0]->Exists());
    EXPECT_EQ(U(folders[0]->FolderReference()), "HD:dir:sub:");
    for (gCFRef* f : files) {
        delete f;
    }
    for (gCFolderRef* f : folders) {
        delete f;
    }
}

TEST_F(FileOps, MakeFolderCreatesTheLastLevel) {
    gCFolderRef folder(S("HD:made:"));
    EXPECT_EQ(gCFileIO::MakeFolder(folder), eNoError);
    EXPECT_TRUE(std::filesystem::is_directory(Posix("made")));
    EXPECT_EQ(gCFileIO::MakeFolder(folder), eNoError);
    gCFolderRef deep(S("HD:no:such:deep:"));
    EXPECT_EQ(gCFileIO::MakeFolder(deep), eCreateFailed);
}

TEST_F(FileOps, SaveMemFileWritesTheUsedLengthAndLoadReadsItBack) {
    gCMemFile mem;
    ASSERT_EQ(mem.WriteBlock("hello", 5), eNoError);
    gCFRef ref(S("HD:mem.bin"));
    EXPECT_EQ(gCFileIO::SaveMemFile(&mem, &ref), eNoError);
    EXPECT_EQ(FileBytes(Posix("mem.bin")), "hello");
    gCMemFile back;
    EXPECT_EQ(gCFileIO::LoadMemFile(back, &ref), eNoError);
    EXPECT_EQ(MemBytes(back), "hello");
}

// A file longer than a 32-bit count (sparse, so it costs no disk) is
// neither loaded nor copied in part under its wrapped length.
TEST_F(FileOps, FilesPastFourGigabytesAreNeverTakenForShortOnes) {
    constexpr int64_t kSize = (int64_t(1) << 32) + 16;
    MakeFile("big.bin", "");
    if (::truncate(Posix("big.bin").c_str(), off_t(kSize)) != 0) {
        GTEST_SKIP() << "no sparse files here";
    }
    gCFRef ref(S("HD:big.bin"));
    gCFile file;
    ASSERT_EQ(file.Open(&ref, eAccessReadOnly), eNoError);
    EXPECT_EQ(file.Length(), kSize);
    EXPECT_EQ(file.FastForward(), eNoError);
    EXPECT_EQ(file.GetFilePos(), kSize);
    EXPECT_TRUE(file.FileEnd());
    gCMemFile mem;
    EXPECT_EQ(gCFileIO::LoadMemFile(mem, &file), eOutOfMemory);
    EXPECT_EQ(mem.Length(), 0);
    EXPECT_EQ(gCFileIO::LoadMemFile(mem, &ref), eOutOfMemory);
}

// The alert names the refused path whole, in the alert's UTF-8, even with
// characters that 8-bit text cannot hold.
TEST_F(FileOps, SaveMemFileNamesARefusedPathWhole) {
    CFakeAppServices app;
    app.m_ApplicationRoot = "HD:App:";
    gCMemFile mem;
    EXPECT_EQ(gCFileIO::SaveMemFile(&mem, S("Data/\xE6\x97\xA5\xC3\xA9.bin")), eBadParameter);
    ASSERT_FALSE(app.m_Alerts.empty());
    EXPECT_EQ(app.m_Alerts.back().text, "Bad parameter has been passed.\nFailed to set file "
                                        "reference:\nData/\xE6\x97\xA5\xC3\xA9.bin");
}

TEST_F(FileOps, RelativeMemFilesBelowTheApplicationFolder) {
    CFakeAppServices app;
    app.m_ApplicationRoot = "HD:App:";
    MakeFolder("App/Data");
    gCMemFile mem;
    ASSERT_EQ(mem.WriteInt32(7), eNoError);
    EXPECT_EQ(gCFileIO::SaveMemFile(&mem, S("Data:n.bin")), eNoError);
    EXPECT_EQ(FileBytes(Posix("App/Data/n.bin")), Bytes({7, 0, 0, 0}));
    EXPECT_TRUE(gCFileIO::VerifyRelativeName(S("Data:n.bin")));
    EXPECT_TRUE(gCFileIO::VerifyRelativeFolderName(S("Data")));
    gCMemFile back;
    EXPECT_EQ(gCFileIO::LoadMemFile(back, S("Data:n.bin")), eNoError);
    EXPECT_EQ(back.Length(), 4);
    EXPECT_EQ(gCFileIO::FileRelativePathDelete(S("Data:n.bin")), eNoError);
    EXPECT_FALSE(gCFileIO::VerifyRelativeName(S("Data:n.bin")));
}

TEST_F(FileOps, LoadMemFileReturnsItsReadError) {
    MakeFile("data.bin", std::string(100, 'x'));
    gCFRef ref(S("HD:data.bin"));
    gCFile writeOnly;
    ASSERT_EQ(writeOnly.Open(&ref, eAccessWriteInPlace), eNoError);
    gCMemFile mem;
    EXPECT_EQ(gCFileIO::LoadMemFile(mem, &writeOnly), eFileReadWriteError);
    EXPECT_EQ(mem.Length(), 0) << "a failed load leaves no stale bytes behind";
    EXPECT_EQ(mem.GetFilePos(), 0);
    gCFile closed;
    EXPECT_EQ(gCFileIO::LoadMemFile(mem, &closed), eBadParameter);
}

TEST_F(FileOps, SaveMemFileToAClosedFileIsReported) {
    CFakeAppServices app;
    gCMemFile mem;
    gCFile closed;
    EXPECT_EQ(gCFileIO::SaveMemFile(&mem, &closed), eBadParameter);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_NE(app.m_Alerts[0].text.find("Invalid file passed to SaveMemFile."), std::string::npos);
}

TEST_F(FileOps, VolumeListStartsWithTheVolumeTable) {
    gCArray<gCVolumeRef*> volumes;
    EXPECT_EQ(gCFileIO::GetVolumeList(volumes), eNoError);
    ASSERT_GE(volumes.GetSize(), 2);
    std::vector<std::string> names;
    for (gCVolumeRef* v : volumes) {
        names.push_back(U(v->Reference()));
        delete v;
    }
    EXPECT_NE(std::find(names.begin(), names.end(), "HD:"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Root:"), names.end());
}

TEST(Documents, FolderFromTheUserDirs) {
    EXPECT_EQ(gCFileIO::DocumentsFolderPath("/home/me", ""), "/home/me/Documents");
    EXPECT_EQ(gCFileIO::DocumentsFolderPath("/home/me",
                                            "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                            "XDG_DOCUMENTS_DIR=\"$HOME/Papiers\"\n"),
              "/home/me/Papiers");
    EXPECT_EQ(gCFileIO::DocumentsFolderPath("/home/me", "XDG_DOCUMENTS_DIR=\"/data/docs/\""),
              "/data/docs");
}

TEST_F(FileOps, DocumentsFolderIsFoundOrMissing) {
    const char* home = std::getenv("HOME");
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string oldHome = home ? home : "";
    const std::string oldConfig = config ? config : "";
    ::setenv("HOME", m_Root.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", Posix("cfg").c_str(), 1);
    MakeFile("cfg/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    gCFolderRef docs;
    EXPECT_EQ(gCFileIO::GetOSUserDocumentsFolder(&docs), eCreateFailed);
    MakeFolder("Docs");
    EXPECT_EQ(gCFileIO::GetOSUserDocumentsFolder(&docs), eNoError);
    EXPECT_EQ(U(docs.FolderReference()), "HD:Docs:");
    ::setenv("HOME", oldHome.c_str(), 1);
    if (config) {
        ::setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}

class Launching : public FileOps {
protected:
    void SetUp() override {
        FileOps::SetUp();
        gCFileIO::SetLauncher([this](const std::vector<std::string>& argv) {
            launched.push_back(argv);
            return true;
        });
    }
    void TearDown() override {
        gCFileIO::SetLauncher(nullptr);
        FileOps::TearDown();
    }
    std::vector<std::vector<std::string>> launched;
};

TEST_F(Launching, UrlIsHandedOverAsOneArgument) {
    const std::string url = "https://example.org/a b?x=1&y=\"2\";rm -rf";
    EXPECT_EQ(gCFileIO::URLExecute(S(url.c_str())), eNoError);
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], (std::vector<std::string>{"xdg-open", url}));
}

TEST_F(Launching, FilesOpenByTheirPosixPath) {
    MakeFile("doc.pdf");
    gCFRef ref(S("HD:doc.pdf"));
    EXPECT_EQ(gCFileIO::OSExecute(ref), eNoError);
    EXPECT_EQ(gCFileIO::OSExecute(S("HD:missing.pdf")), eFileNotFound);
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0][1], Posix("doc.pdf"));
}

TEST_F(Launching, FailedLauncherIsEight) {
    gCFileIO::SetLauncher([](const std::vector<std::string>&) { return false; });
    EXPECT_EQ(gCFileIO::URLExecute(S("https://example.org")), eFileNotFound);
}

TEST_F(FileOps, LoadWithAnInvalidReferenceAndCancelledDialog) {
    CScriptedDialog dialog;
    dialog.answers.push_back({eHandled, ""});
    gCFRef ref;
    gCFile file;
    EXPECT_EQ(gCFileIO::InitLoadFile(file, ref, nullptr, eAccessReadOnly), eHandled);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(ref.IsValid());
}

TEST_F(FileOps, SaveWithAnInvalidReferenceAsksForOne) {
    CScriptedDialog dialog;
    dialog.answers.push_back({eNoError, Posix("chosen.txt")});
    gCFRef ref;
    gCFile file;
    EXPECT_EQ(gCFileIO::InitSaveFile(file, ref, nullptr, eAccessWholeNew), eNoError);
    EXPECT_TRUE(file.IsOpen());
    ASSERT_EQ(file.WriteAsciiString(S("x"), 0), eNoError);
    ASSERT_EQ(file.Close(), eNoError);
    EXPECT_EQ(FileBytes(Posix("chosen.txt")), "x");
    EXPECT_EQ(U(ref.FileReference()), "HD:chosen.txt");
}

TEST_F(FileOps, ChosenFolderBecomesAFolderReference) {
    MakeFolder("docs");
    CScriptedDialog dialog;
    dialog.answers.push_back({eNoError, Posix("docs")});
    dialog.answers.push_back({eHandled, ""});
    gCFolderRef folder;
    EXPECT_EQ(gCFileIO::InitFolderRef(folder), eNoError);
    EXPECT_EQ(U(folder.FolderReference()), "HD:docs:");
    EXPECT_TRUE(folder.IsValid());
    EXPECT_EQ(gCFileIO::InitFolderRef(folder), eHandled);
    EXPECT_EQ(dialog.requests[0].kind, CFileDialogBackend::eChooseFolder);
}

TEST_F(FileOps, ExistsAndIsWritableGoThroughTheStreams) {
    MakeFile("f.txt");
    EXPECT_TRUE(gCFRef(S("HD:f.txt")).Exists());
    EXPECT_FALSE(gCFRef(S("HD:g.txt")).Exists());
    gCFolderRef folder(S("HD:"));
    EXPECT_TRUE(folder.IsWritable());
    EXPECT_FALSE(Exists("test.tst"));
    gCFolderRef missing(S("HD:nope:"));
    EXPECT_FALSE(missing.IsWritable());
}

} // namespace
