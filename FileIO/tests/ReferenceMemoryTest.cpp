// References without memory: every operation that sets parts makes them
// all before it takes any, so whichever allocation fails, the reference
// names either what it named before or the new item, whole; never a mix of
// two (a new name under an old folder, a name without its suffix).

#include <functional>
#include <string>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFRelative.h"
#include "FileIO/gCFolderRef.h"
#include "FileIO/gCVolumeRef.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

std::string Describe(const gCFRef& r) {
    return std::to_string(r.IsValid()) + "|" + U(r.Volume()) + "|" + U(r.Path()) + "|" +
           U(r.FileName()) + "|" + U(r.TypeString()) + "|" + std::to_string(r.GetFileType()) + "|" +
           std::to_string(r.GetMacType()) + "|" + r.FileSpecReference()->path;
}

std::string Describe(const gCFolderRef& f) {
    return std::to_string(f.IsValid()) + "|" + U(f.Volume()) + "|" + U(f.Path()) + "|" +
           U(f.Name()) + "|" + f.FolderSpec()->path;
}

std::string Describe(const gCFRelative& r) {
    return std::to_string(r.IsValid()) + "|" + U(r.Path()) + "|" + U(r.Name()) + "|" +
           U(r.Suffix()) + "|" + std::to_string(r.GetFileType()) + "|" +
           std::to_string(r.GetMacType());
}

std::string Describe(const gCVolumeRef& v) {
    return std::to_string(v.IsValid()) + "|" + U(v.Reference());
}

template <typename Ref> struct SStep {
    const char* name;
    std::function<error(Ref&)> call;
};

// Runs a step on a copy of start with memory that fails after 0, 1, 2, ...
// allocations until the step succeeds. Every failed try must give 5 and
// leave what `failed` describes (start itself by default); the successful
// one must give the same reference as the step with all the memory it
// needs. Without memory a reference below the application folder may also
// find no application folder (18).
template <typename Ref>
void ExpectWholeOrUnchanged(const Ref& start, const SStep<Ref>& step,
                            const std::string& failed = std::string()) {
    SCOPED_TRACE(step.name);
    Ref expected(start);
    ASSERT_EQ(step.call(expected), eNoError);
    const std::string after = Describe(expected);
    const std::string before = failed.empty() ? Describe(start) : failed;
    ASSERT_NE(after, Describe(start)) << "the step must change something";
    for (int32_t allowed = 0; allowed < 100; ++allowed) {
        Ref ref(start);
        error e = eNoError;
        {
            CFailingMemory limited(allowed);
            e = step.call(ref);
        }
        if (e == eNoError) {
            EXPECT_EQ(Describe(ref), after) << allowed << " allocations";
            return;
        }
        EXPECT_TRUE(e == eOutOfMemory || e == ePathError) << e << ", " << allowed << " allocations";
        EXPECT_EQ(Describe(ref), before) << allowed << " allocations";
    }
    ADD_FAILURE() << "never succeeded";
}

class ReferenceMemory : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        MakeFile("Users/me/picture.jpg");
        MakeFile("Docs/other.png");
        MakeFolder("Docs/sub");
        app.m_ApplicationRoot = "HD:";
    }
    CFakeAppServices app;
};

TEST_F(ReferenceMemory, FileReferences) {
    const gCFRef start(S("HD:Users:me:picture.jpg"));
    // The texts are made with all the memory they need, before each try.
    const gCString existing = S("HD:Docs:other.png"), toCreate = S("HD:Docs:new.txt"),
                   nowhere = S("Nowhere:x:y.bmp"), suffix = S(".txt"), name = S("renamed"),
                   path = S("Docs:"), volume = S("Other:");
    const SStep<gCFRef> steps[] = {
        {"an existing file", [&](gCFRef& r) { return r.SetFileReference(existing); }},
        {"a file to be created", [&](gCFRef& r) { return r.SetFileReference(toCreate); }},
        {"neither file nor folder", [&](gCFRef& r) { return r.SetFileReference(nowhere); }},
        {"a resolved file",
         [&](gCFRef& r) { return r.SetFileReference(FSRef{Posix("Docs/other.png")}); }},
        {"the suffix", [&](gCFRef& r) { return r.SetType(suffix); }},
        {"the table row", [&](gCFRef& r) { return r.SetType(eTextFile); }},
        {"the Finder type", [&](gCFRef& r) { return r.SetType(eMacFileType[ePNGFile]); }},
        {"the name", [&](gCFRef& r) { return r.SetName(name); }},
        {"the path", [&](gCFRef& r) { return r.SetPath(path); }},
        {"the volume", [&](gCFRef& r) { return r.SetVolume(volume); }},
    };
    for (const SStep<gCFRef>& step : steps) {
        ExpectWholeOrUnchanged(start, step);
    }
}

TEST_F(ReferenceMemory, FileReferenceCopiesAreWholeOrEmpty) {
    // Parts longer than the copy's buffers hold, so that copying them
    // allocates.
    MakeFile("Documents and more/a rather long file name.png");
    const gCFRef other(S("HD:Documents and more:a rather long file name.png"));
    const gCFRef empty;
    for (int32_t allowed = 0; allowed < 10; ++allowed) {
        gCFRef ref(S("HD:Users:me:picture.jpg"));
        {
            CFailingMemory limited(allowed);
            ref = other;
        }
        const std::string now = Describe(ref);
        if (now == Describe(other)) {
            return;
        }
        // The empty reference keeps nothing of either file.
        EXPECT_EQ(now, Describe(empty)) << allowed << " allocations";
    }
    ADD_FAILURE() << "never copied";
}

TEST_F(ReferenceMemory, FolderReferences) {
    const gCFolderRef start(S("HD:Users:me:"));
    const gCString docs = S("HD:Docs:"), path = S(":Docs"), name = S("sub"), volume = S("Other"),
                   relative = S("Docs:sub");
    const SStep<gCFolderRef> steps[] = {
        {"a folder text", [&](gCFolderRef& f) { return f.SetFolderReference(docs); }},
        {"a resolved folder",
         [&](gCFolderRef& f) { return f.SetFolderReference(FSRef{Posix("Docs/sub")}); }},
        {"below the application folder",
         [&](gCFolderRef& f) { return f.SetRelativeReference(relative); }},
        {"the path", [&](gCFolderRef& f) { return f.SetPath(path); }},
        {"the name", [&](gCFolderRef& f) { return f.SetName(name); }},
        {"the volume", [&](gCFolderRef& f) { return f.SetVolume(volume); }},
    };
    for (const SStep<gCFolderRef>& step : steps) {
        ExpectWholeOrUnchanged(start, step);
    }
}

TEST_F(ReferenceMemory, RelativeReferences) {
    gCFRelative start;
    ASSERT_EQ(start.SetReference(S("Resources:Manual:manual.html")), eNoError);
    const gCString text = S("Data:x.txt"), path = S("Other:place"), name = S("guide"),
                   suffix = S("pdf");
    const SStep<gCFRelative> steps[] = {
        {"the whole text", [&](gCFRelative& r) { return r.SetReference(text); }},
        {"the path", [&](gCFRelative& r) { return r.SetPath(path); }},
        {"the name", [&](gCFRelative& r) { return r.SetName(name); }},
        {"the suffix", [&](gCFRelative& r) { return r.SetSuffix(suffix); }},
        {"the table row", [&](gCFRelative& r) { return r.SetType(eTextFile); }},
        {"a suffix and type", [&](gCFRelative& r) { return r.SetType(suffix, FourCC("PDF ")); }},
    };
    // A failed SetReference leaves the reference invalid, its fields kept.
    std::string invalid = Describe(start);
    invalid[0] = '0';
    ExpectWholeOrUnchanged(start, steps[0], invalid);
    for (size_t i = 1; i < std::size(steps); ++i) {
        ExpectWholeOrUnchanged(start, steps[i]);
    }
}

TEST_F(ReferenceMemory, VolumeReferences) {
    const gCVolumeRef start; // a copy never takes the valid flag
    const gCString text = S("  Other:\r\n");
    ExpectWholeOrUnchanged(start, SStep<gCVolumeRef>{"the reference", [&](gCVolumeRef& v) {
                                                         return v.SetReference(text);
                                                     }});
}

} // namespace
