// Temporaries of whole new files left by a process that died between
// writing and renaming: the original survives, and the next save of the
// same file clears them, touching nothing else in the folder.

#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "FileIO/detail/SaveTemporaries.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/FileIO/TestBytes.h"
#include "testsupport/foundation/ChildProcess.h"

namespace {

class SaveTemporaries : public TempVolume {
protected:
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_Root)) {
            names.insert(e.path().filename().string());
        }
        return names;
    }
    // Saves the text as the whole of the file; the file's Close result.
    static error Save(const char* path, const char* text) {
        gCFRef ref(S(path));
        gCFile file;
        const error opened = file.Open(&ref, eAccessWholeNew);
        if (opened != eNoError) {
            return opened;
        }
        const error written = file.WriteBlock(text, int32_t(std::strlen(text)));
        const error closed = file.Close();
        return written != eNoError ? written : closed;
    }
    // A save of the file in a child that is killed just before the rename;
    // the name of the temporary it leaves.
    std::string CrashedSave(const char* path) {
        const std::set<std::string> before = Entries();
        const SChildEnd end = RunInChild([path] {
            gCFile::m_pBeforeReplaceHook = [] { ::raise(SIGKILL); };
            (void)Save(path, "half-saved"); // never returns: the hook kills
            return 1;
        });
        EXPECT_EQ(end, (SChildEnd{SChildEnd::eSignalled, SIGKILL}));
        std::string left;
        for (const std::string& name : Entries()) {
            if (!before.count(name)) {
                left = name;
            }
        }
        return left;
    }
};

TEST_F(SaveTemporaries, CrashBeforeTheRenameKeepsTheOriginalAndTheNextSaveClearsUp) {
    MakeFile("picture.ptg", "original");
    MakeFile("other.ptg", "other");
    const std::string crashed = CrashedSave("HD:picture.ptg");
    ASSERT_EQ(savetemp::ProcessOf(crashed, "picture.ptg") > 0, true) << crashed;
    EXPECT_EQ(FileBytes(Posix("picture.ptg")), "original");
    EXPECT_EQ(FileBytes(Posix(crashed)), "half-saved");
    const std::string otherCrashed = CrashedSave("HD:other.ptg");

    // Names that must stay: this (running) process's temporary of the same
    // file, a folder named like a dead one's, and names that only look
    // alike.
    const std::string dead = std::to_string(savetemp::ProcessOf(crashed, "picture.ptg"));
    const std::string live = ".picture.ptg.save-" + std::to_string(::getpid()) + "-77";
    MakeFile(live, "live");
    MakeFolder(".picture.ptg.save-" + dead + "-9");
    for (const std::string& alike :
         {"picture.ptg.save-" + dead + "-1", ".picture.ptg.save-" + dead,
          ".picture.ptg.save-" + dead + "-1x", ".picture.ptg.save-0" + dead + "-1",
          ".picture.ptg.bak-" + dead + "-1", ".xpicture.ptg.save-" + dead + "-1"}) {
        MakeFile(alike, "keep");
    }
    std::set<std::string> expected = Entries();
    expected.erase(crashed);

    ASSERT_EQ(Save("HD:picture.ptg", "saved again"), eNoError);
    EXPECT_EQ(FileBytes(Posix("picture.ptg")), "saved again");
    EXPECT_EQ(Entries(), expected);
    EXPECT_TRUE(expected.count(otherCrashed)) << "another file's temporary is kept";
    EXPECT_EQ(FileBytes(Posix(live)), "live");
}

// What counts as a temporary of which file, by name alone.
TEST(SaveTemporaryNames, ProcessIdOfATargetsTemporary) {
    EXPECT_EQ(savetemp::Stem("/a/b/pic.png"), "/a/b/.pic.png.save-");
    EXPECT_EQ(savetemp::Stem("/pic.png"), "/.pic.png.save-");
    struct Case {
        const char* entry;
        long pid;
    };
    for (const Case& c :
         {Case{".pic.png.save-123-4", 123}, Case{".pic.png.save-1-1", 1},
          Case{".pic.png.save-123-", 0}, Case{".pic.png.save--4", 0}, Case{".pic.png.save-0-4", 0},
          Case{".pic.png.save-12a-4", 0}, Case{".pic.png.save-1234567890-1", 0},
          Case{".pic.png.save-5-4-3", 0}, Case{".pic.png.save-+5-3", 0},
          Case{"pic.png.save-5-3", 0}, Case{".pic.pngx.save-5-3", 0}, Case{".pic.png", 0}}) {
        EXPECT_EQ(savetemp::ProcessOf(c.entry, "pic.png"), c.pid) << c.entry;
    }
}

} // namespace
