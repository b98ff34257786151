// The id checklist in the compiler: a required entry whose block is
// missing, of another kind or class, or lacks a child the program looks up
// fails the build at the entry's line, naming the id and the feature;
// pending entries are listed and pass.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "devtools/tests/CompilerRun.h"

namespace {

// A tree A (10) holding B (11), a text list, then the checklist whose one
// entry is on line 9.
std::string Sources(const std::string& entry) {
    return "blocks:\n"
           "  - {kind: widget, type: cowg, id: 10, name: A, chunks: [{hier: [[B, cowg]]}]}\n"
           "  - {kind: widget, type: cowg, id: 11, name: B, chunks: [{vsbl: 1}]}\n"
           "  - {kind: textlist, id: 20, name: L, exclusive: 0, items: []}\n"
           "  - kind: checklist\n"
           "    id: 1\n"
           "    name: Checklist\n"
           "    entries:\n"
           "      - " +
           entry + "\n";
}

struct ChecklistCase {
    const char* name;
    const char* entry;
    const char* message; // empty: compiles
    int line;
};

class Checklist : public CompilerTest, public ::testing::WithParamInterface<ChecklistCase> {};

TEST_P(Checklist, ChecksItsEntry) {
    const ChecklistCase& c = GetParam();
    const CompilerResult out = Compile("src", Sources(c.entry));
    if (*c.message == '\0') {
        EXPECT_EQ(out.exitCode, 0) << out.output;
        EXPECT_TRUE(std::filesystem::exists(Posix("src/out/system.vrf")));
        return;
    }
    EXPECT_NE(out.exitCode, 0);
    EXPECT_NE(out.output.find("source.yaml:" + std::to_string(c.line) + ": " + c.message),
              std::string::npos)
        << out.output;
    EXPECT_FALSE(std::filesystem::exists(Posix("src/out/system.vrf")));
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, Checklist,
    ::testing::Values(
        ChecklistCase{"PresentById", "{id: 10, kind: widget, feature: the panel, status: required}",
                      "", 0},
        ChecklistCase{"PresentByNameWithClassAndChildren",
                      "{name: A, kind: widget, class: cowg, children: [11, B], feature: the "
                      "panel, status: required}",
                      "", 0},
        ChecklistCase{"PresentTextList",
                      "{id: 20, kind: textlist, feature: the menu, status: required}", "", 0},
        ChecklistCase{"PendingMissing", "{id: 99, kind: widget, feature: later, status: pending}",
                      "", 0},
        ChecklistCase{"MissingId", "{id: 99, kind: widget, feature: the panel, status: required}",
                      "required id 99 (the panel): no widget block has it", 9},
        ChecklistCase{"MissingName",
                      "{name: Gone, kind: textlist, feature: the menu, status: required}",
                      "required name \"Gone\" (the menu): no textlist block has it", 9},
        ChecklistCase{
            "OtherKind", "{id: 10, kind: textlist, feature: the menu, status: required}",
            "required id 10 (the menu): its block is a widget block, not a textlist block", 9},
        ChecklistCase{"OtherClass",
                      "{id: 11, kind: widget, class: rrwg, feature: the panel, status: required}",
                      "required id 11 (the panel): its block is a 'cowg' widget, not 'rrwg'", 9},
        ChecklistCase{"MissingChildById",
                      "{id: 10, kind: widget, class: cowg, children: [11, 12], feature: the "
                      "panel, status: required}",
                      "required id 10 (the panel): no child id 12 under it", 9},
        // The tree's own root is not under it.
        ChecklistCase{"ChildIsTheRoot",
                      "{id: 11, kind: widget, class: cowg, children: [B], feature: the panel, "
                      "status: required}",
                      "required id 11 (the panel): no child name \"B\" under it", 9},
        ChecklistCase{"IdAndName",
                      "{id: 10, name: A, kind: widget, feature: the panel, status: required}",
                      "a checklist entry names either an id or a name", 9},
        ChecklistCase{"UnknownKind", "{id: 10, kind: gadget, feature: the panel, status: required}",
                      "unknown kind \"gadget\"", 9},
        ChecklistCase{"UnknownStatus", "{id: 10, kind: widget, feature: the panel, status: maybe}",
                      "a status is \"required\" or \"pending\"", 9},
        ChecklistCase{"NoFeature", "{id: 10, kind: widget, feature: \"\", status: required}",
                      "a checklist entry names the feature that needs it", 9},
        ChecklistCase{"ClassOfATextList",
                      "{id: 20, kind: textlist, class: cowg, feature: the menu, status: required}",
                      "'cowg' is no widget type code of this build", 9},
        ChecklistCase{"ChildrenOfATextList",
                      "{id: 20, kind: textlist, children: [1], feature: the menu, status: "
                      "required}",
                      "only widget trees have children", 9}),
    [](const ::testing::TestParamInfo<ChecklistCase>& info) { return info.param.name; });

TEST_F(CompilerTest, ChecklistListsPendingEntries) {
    const CompilerResult out = Compile(
        "src", Sources("{id: 99, kind: widget, feature: the brush panel, status: pending}"));
    EXPECT_EQ(out.exitCode, 0) << out.output;
    EXPECT_NE(out.output.find("source.yaml:9: warning: pending: id 99 (the brush panel)"),
              std::string::npos)
        << out.output;
}

} // namespace
