// The open dialog's filter, the save dialog's formats and names, and the
// real dialog program through a stub zenity.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "FileIO/FileDialogBackend.h"
#include "FileIO/Spawn.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFTypeList.h"
#include "FileIO/gCFileDlg.h"
#include "testsupport/FileIO/ScriptedDialog.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/FileIO/TestBytes.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

struct FilterCase {
    const char* name;
    const char* item;
    uint32_t macType;
    bool folder;
    bool shown;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << c.name;
}

const FilterCase kFilterCases[] = {
    {"CapitalJpegExtensionShown", "PHOTO.JPG", 0, false, true},
    {"LowerJpegShown", "photo.jpg", kNoMacType, false, true},
    {"PngHidden", "picture.png", 0, false, false},
    {"FolderShown", "Holidays", 0, true, true},
    {"NoSuffixHidden", "README", 0, false, false},
    {"NoSuffixWithJpegTypeShown", "scan", FourCC("JPEG"), false, true},
};

class OpenFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(OpenFilter, JpegOnlyList) {
    gCFTypeList jpeg;
    ASSERT_EQ(jpeg.AddListType({eJPEGFile, eLastTypeIndex}), eNoError);
    const FilterCase& c = GetParam();
    EXPECT_EQ(gCFileDlg::ShowsItem(&jpeg, S(c.item), c.macType, c.folder), c.shown);
    EXPECT_TRUE(gCFileDlg::ShowsItem(nullptr, S(c.item), c.macType, c.folder));
}

INSTANTIATE_TEST_SUITE_P(Items, OpenFilter, ::testing::ValuesIn(kFilterCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DialogPatterns, MatchEveryLetterCase) {
    EXPECT_EQ(gCFileDlg::Patterns(S(".jpg")), (std::vector<std::string>{"*.[jJ][pP][gG]"}));
    EXPECT_EQ(gCFileDlg::Patterns(S(".bmp,.png")),
              (std::vector<std::string>{"*.[bB][mM][pP]", "*.[pP][nN][gG]"}));
    EXPECT_EQ(gCFileDlg::Patterns(S(".*")), (std::vector<std::string>{"*"}));
}

class SaveDialog : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        ASSERT_EQ(images.AddListType({eBMPFile, eJPEGFile, ePNGFile, eLastTypeIndex}), eNoError);
    }
    gCFTypeList images;
    CScriptedDialog dialog;
    gCFileDlg dlg;
};

TEST_F(SaveDialog, CancelLeavesTheReferenceAndPathUnchanged) {
    gCFRef ref(S("HD:keep.png"));
    EXPECT_EQ(dlg.ShowSaveFile(&ref, &images), eHandled);
    EXPECT_EQ(U(ref.FileReference()), "HD:keep.png");
    gCString path = S("HD:before");
    EXPECT_EQ(dlg.ShowLoadFile(path, &images), eHandled);
    EXPECT_EQ(U(path), "HD:before");
}

TEST_F(SaveDialog, TypedSuffixChoosesTheFormat) {
    dialog.answers.push_back({eNoError, Posix("pic.jpg")});
    gCFRef ref;
    EXPECT_EQ(dlg.ShowSaveFile(&ref, &images), eNoError);
    EXPECT_EQ(ref.GetFileType(), eJPEGFile);
    EXPECT_EQ(ref.GetMacType(), FourCC("JPEG"));
    EXPECT_EQ(dlg.ChosenFormat(), 1);
    EXPECT_EQ(U(ref.FileReference()), "HD:pic.jpg");
    // The format menu lists the entries and all files.
    ASSERT_EQ(dialog.requests.size(), 1u);
    ASSERT_EQ(dialog.requests[0].filters.size(), 4u);
    EXPECT_EQ(dialog.requests[0].filters[1].name, "JPEG Image (*.jpg)");
    EXPECT_EQ(dialog.requests[0].filters[3].patterns, (std::vector<std::string>{"*"}));
}

TEST_F(SaveDialog, NameWithoutSuffixTakesTheFirstFormat) {
    dialog.answers.push_back({eNoError, Posix("pic")});
    gCFRef ref;
    EXPECT_EQ(dlg.ShowSaveFile(&ref, &images), eNoError);
    EXPECT_EQ(ref.GetFileType(), eBMPFile);
    EXPECT_EQ(U(ref.FileReference()), "HD:pic.bmp");
}

TEST_F(SaveDialog, TypedSuffixIsNeverDoubled) {
    dialog.answers.push_back({eNoError, Posix("pic.PNG")});
    gCFRef ref;
    EXPECT_EQ(dlg.ShowSaveFile(&ref, &images), eNoError);
    EXPECT_EQ(ref.GetFileType(), ePNGFile);
    EXPECT_EQ(U(ref.FileName()), "pic");
    EXPECT_EQ(U(ref.FileReference()), "HD:pic.png");
}

TEST_F(SaveDialog, ReplacingAskesAboutTheNameWithItsAppendedSuffix) {
    MakeFile("pic.bmp", "old");
    dialog.answers.push_back({eNoError, Posix("pic")});
    dialog.answers.push_back({eNoError, Posix("other")});
    dialog.confirmations.push_back(eHandled); // do not replace: ask again
    gCFRef ref;
    EXPECT_EQ(dlg.ShowSaveFile(&ref, &images), eNoError);
    ASSERT_EQ(dialog.questions.size(), 1u);
    EXPECT_NE(dialog.questions[0].find("pic.bmp"), std::string::npos);
    EXPECT_EQ(dialog.requests[1].startName, Posix("pic.bmp"));
    EXPECT_EQ(U(ref.FileReference()), "HD:other.bmp");
}

TEST_F(SaveDialog, OpenGivesTheFullColonPath) {
    MakeFile("photos/a.jpg");
    dialog.answers.push_back({eNoError, Posix("photos/a.jpg")});
    gCString path;
    EXPECT_EQ(dlg.ShowLoadFile(path, &images), eNoError);
    EXPECT_EQ(U(path), "HD:photos:a.jpg");
    ASSERT_EQ(dialog.requests[0].filters.size(), 1u);
    EXPECT_EQ(dialog.requests[0].filters[0].patterns.size(), 3u);
}

// The real spawn path, with a stub dialog program first on PATH.
class StubZenity : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        const char* path = std::getenv("PATH");
        m_OldPath = path ? path : "";
        MakeFolder("bin");
    }
    void TearDown() override {
        ::setenv("PATH", m_OldPath.c_str(), 1);
        gCFileDlg::SetModalPump(nullptr);
        gSetDialogEndHook(nullptr);
        TempVolume::TearDown();
    }
    // A dialog program that records its arguments and runs the given
    // shell body; the stub's folder comes first on PATH.
    void InstallStub(const std::string& body, const std::string& program = "zenity") {
        const std::string script =
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" + Posix("args.txt") +
            "\"\n" + body + "\n";
        WriteFileBytes(Posix("bin/" + program), script);
        ::chmod(Posix("bin/" + program).c_str(), 0755);
        ::setenv("PATH", (Posix("bin") + ":" + m_OldPath).c_str(), 1);
    }
    std::string m_OldPath;
    CFakeAppServices app;
};

int s_nPumps = 0;

TEST_F(StubZenity, SaveAnswerBecomesAJpegReference) {
    InstallStub("/bin/sleep 0.1\necho \"" + Posix("pic.jpg") + "\"");
    s_nPumps = 0;
    gCFileDlg::SetModalPump([] { ++s_nPumps; });
    gCFTypeList images;
    ASSERT_EQ(images.AddListType({eBMPFile, eJPEGFile, ePNGFile, eLastTypeIndex}), eNoError);
    gCFRef ref;
    gCFileDlg dlg;
    EXPECT_EQ(dlg.ShowSaveFile(&ref, &images), eNoError);
    EXPECT_EQ(ref.GetFileType(), eJPEGFile);
    EXPECT_EQ(ref.GetMacType(), FourCC("JPEG"));
    EXPECT_EQ(U(ref.FileReference()), "HD:pic.jpg");
    EXPECT_GT(s_nPumps, 0);
    const std::string args = FileBytes(Posix("args.txt"));
    EXPECT_NE(args.find("--save\n"), std::string::npos);
    EXPECT_NE(args.find("--file-filter=JPEG Image (*.jpg) | *.[jJ][pP][gG]\n"), std::string::npos);
}

TEST_F(StubZenity, NameWithoutSuffixBecomesBmp) {
    InstallStub("echo \"" + Posix("pic") + "\"");
    gCFTypeList images;
    ASSERT_EQ(images.AddListType({eBMPFile, eJPEGFile, ePNGFile, eLastTypeIndex}), eNoError);
    gCFRef ref;
    gCFileDlg dlg;
    EXPECT_EQ(dlg.ShowSaveFile(&ref, &images), eNoError);
    EXPECT_EQ(ref.GetFileType(), eBMPFile);
    EXPECT_EQ(U(ref.FileReference()), "HD:pic.bmp");
}

TEST_F(StubZenity, KdialogWhenZenityIsAbsent) {
    InstallStub("echo \"" + Posix("pic.png") + "\"", "kdialog");
    ::setenv("PATH", Posix("bin").c_str(), 1); // no zenity anywhere
    gCFTypeList images;
    ASSERT_EQ(images.AddListType({eBMPFile, eJPEGFile, ePNGFile, eLastTypeIndex}), eNoError);
    gCFRef ref;
    gCFileDlg dlg;
    EXPECT_EQ(dlg.ShowSaveFile(&ref, &images), eNoError);
    EXPECT_EQ(ref.GetFileType(), ePNGFile);
    const std::string args = FileBytes(Posix("args.txt"));
    EXPECT_NE(args.find("--getsavefilename\n"), std::string::npos);
    EXPECT_NE(args.find("*.[pP][nN][gG]|PNG Image (*.png)"), std::string::npos);
}

TEST_F(StubZenity, CancelIsTwo) {
    InstallStub("exit 1");
    gCString path = S("HD:before");
    gCFileDlg dlg;
    EXPECT_EQ(dlg.ShowLoadFile(path, nullptr), eHandled);
    EXPECT_EQ(U(path), "HD:before");
}

TEST_F(StubZenity, NoDialogProgramIsTwentyThreeWithAnAlert) {
    ::setenv("PATH", Posix("bin").c_str(), 1); // an empty folder
    gCString path;
    gCFileDlg dlg;
    EXPECT_EQ(dlg.ShowLoadFile(path, nullptr), eCreateFailed);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_NE(app.m_Alerts[0].text.find("Install zenity"), std::string::npos);
}

// An answer that is no full path names no file: a plain bad parameter with
// no alert, for the caller to show. It must not read as 23, which callers
// take as a dialog that could not run and has already been shown.
TEST_F(StubZenity, AnAnswerThatIsNoFullPathIsABadParameterLeftToTheCaller) {
    InstallStub("echo relative/pic.png");
    gCString path = S("HD:before");
    gCFileDlg dlg;
    EXPECT_EQ(dlg.ShowLoadFile(path, nullptr), eBadParameter);
    EXPECT_EQ(U(path), "HD:before");
    gCFRef ref;
    EXPECT_EQ(dlg.ShowSaveFile(&ref, nullptr), eBadParameter);
    EXPECT_FALSE(ref.IsValid());
    EXPECT_TRUE(app.m_Alerts.empty());
}

// A dialog program that fails (neither an answer nor a cancel) is told once,
// so that callers can take 23 as already shown.
TEST_F(StubZenity, AFailedDialogProgramIsTwentyThreeWithOneAlert) {
    InstallStub("exit 5");
    gCString path = S("HD:before");
    gCFileDlg dlg;
    EXPECT_EQ(dlg.ShowLoadFile(path, nullptr), eCreateFailed);
    EXPECT_EQ(U(path), "HD:before");
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_NE(app.m_Alerts[0].text.find("\xE2\x80\x9COpen\xE2\x80\x9D could not be shown: zenity "
                                        "ended with status 5."),
              std::string::npos)
        << app.m_Alerts[0].text;
}

// Whatever a dialog program answers, the window is given the focus back
// once the program has ended; a program run without a pump is no dialog.
std::string s_DoneFile;
std::vector<bool> s_EndsSeen;

TEST_F(StubZenity, EveryDialogProgramEndsWithTheDialogEndHook) {
    s_DoneFile = Posix("done");
    InstallStub("/bin/sleep 0.05\ntouch \"" + s_DoneFile + "\"\nexit 1");
    s_EndsSeen.clear();
    gCFileDlg::SetModalPump([] {});
    gSetDialogEndHook([] {
        s_EndsSeen.push_back(::access(s_DoneFile.c_str(), F_OK) == 0);
        ::unlink(s_DoneFile.c_str());
    });
    gCString path;
    gCFileDlg dlg;
    EXPECT_EQ(dlg.ShowLoadFile(path, nullptr), eHandled);
    EXPECT_EQ(gCFileDlg::Backend().Confirm("Replace it?"), eHandled);
    EXPECT_EQ(s_EndsSeen, (std::vector<bool>{true, true})) << "once each, after the program";

    std::string output;
    EXPECT_EQ(gSpawnAndCapture({Posix("bin/zenity")}, output, nullptr), 1);
    EXPECT_EQ(s_EndsSeen.size(), 2u);
}

TEST(FormFields, OnePerListEmptyWhereNothingWasChosen) {
    using V = std::vector<std::string>;
    EXPECT_EQ(CFileDialogBackend::FormFields("A3|Landscape\n", 2), (V{"A3", "Landscape"}));
    EXPECT_EQ(CFileDialogBackend::FormFields("|Landscape\n", 2), (V{"", "Landscape"}));
    EXPECT_EQ(CFileDialogBackend::FormFields("A3|\n", 2), (V{"A3", ""}));
    EXPECT_EQ(CFileDialogBackend::FormFields("", 2), (V{"", ""}));
    EXPECT_EQ(CFileDialogBackend::FormFields("A3", 2), (V{"A3", ""}));
}

TEST(Spawn, OutputErrorsAndEnvironmentApart) {
    const char* locale = std::getenv("LC_ALL");
    const std::string savedLocale = locale ? locale : "";
    ::setenv("DAUBLIN_SPAWN_KEPT", "kept", 1);
    ::setenv("LC_ALL", "xx_XX", 1);
    std::string output, errors;
    const int status = gSpawnAndCaptureAll(
        {"/bin/sh", "-c", "echo \"$LC_ALL $DAUBLIN_SPAWN_KEPT\"; echo oops >&2; exit 3"},
        {"LC_ALL=C"}, output, errors, nullptr);
    ::unsetenv("DAUBLIN_SPAWN_KEPT");
    if (locale) {
        ::setenv("LC_ALL", savedLocale.c_str(), 1);
    } else {
        ::unsetenv("LC_ALL");
    }
    EXPECT_EQ(status, 3);
    EXPECT_EQ(output, "C kept\n");
    EXPECT_EQ(errors, "oops\n");
    EXPECT_EQ(gSpawnAndCaptureAll({"/nonexistent/program"}, {}, output, errors, nullptr), -1);
}

} // namespace
