// The byte form of every tagged record.

#include <functional>
#include <ostream>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCMemFile.h"
#include "FileIO/gCPersistencyUtils.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/FileIO/TestBytes.h"

namespace {

using P = gCPersistencyUtils;

struct RecordCase {
    const char* name;
    std::function<error(gCStream*)> write;
    std::string bytes;
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.name;
}

// Tag 0xFF003004 and a length, as stored.
std::string Head(int length) {
    return Bytes({0x04, 0x30, 0x00, 0xFF, length, 0, 0, 0, 0, 0, 0, 0});
}

constexpr int32_t kTag = int32_t(0xFF003004u);

const RecordCase kRecords[] = {
    {"Long", [](gCStream* s) { return P::WritePersistencyData(s, kTag, int32_t(1)); },
     Head(4) + Bytes({1, 0, 0, 0})},
    {"UnsignedLong", [](gCStream* s) { return P::WritePersistencyData(s, kTag, uint32_t(2)); },
     Head(4) + Bytes({2, 0, 0, 0})},
    {"Float", [](gCStream* s) { return P::WritePersistencyData(s, kTag, 0.5f); },
     Head(4) + Bytes({0, 0, 0, 0x3F})},
    {"Double", [](gCStream* s) { return P::WritePersistencyData(s, kTag, 2.0); },
     Head(8) + Bytes({0, 0, 0, 0, 0, 0, 0, 0x40})},
    {"Char", [](gCStream* s) { return P::WritePersistencyData(s, kTag, 'A'); },
     Head(1) + Bytes({0x41})},
    {"UnsignedChar",
     [](gCStream* s) { return P::WritePersistencyData(s, kTag, (unsigned char)0xF0); },
     Head(1) + Bytes({0xF0})},
    {"LongLong", [](gCStream* s) { return P::WritePersistencyData(s, kTag, int64_t(-1)); },
     Head(8) + std::string(8, char(0xFF))},
    {"UnsignedLongLong",
     [](gCStream* s) { return P::WritePersistencyData(s, kTag, uint64_t(0x0102)); },
     Head(8) + Bytes({2, 1, 0, 0, 0, 0, 0, 0})},
    {"Point", [](gCStream* s) { return P::WritePersistencyData(s, kTag, gCPoint(1, -1)); },
     Head(8) + Bytes({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF})},
    {"RealPoint",
     [](gCStream* s) { return P::WritePersistencyData(s, kTag, gCRPoint(1.0f, 0.5f)); },
     Head(8) + Bytes({0, 0, 0x80, 0x3F, 0, 0, 0, 0x3F})},
    {"ThreePoint",
     [](gCStream* s) {
         return P::WritePersistencyData(s, kTag, C3RPoint{1.0f, 0.5f, 2.0f});
     },
     Head(12) + Bytes({0, 0, 0x80, 0x3F, 0, 0, 0, 0x3F, 0, 0, 0, 0x40})},
    {"RectTopLeftBottomRight",
     [](gCStream* s) { return P::WritePersistencyData(s, kTag, gCRect(1, 2, 3, 4)); },
     Head(16) + Bytes({2, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 3, 0, 0, 0})},
    {"RealRect",
     [](gCStream* s) {
         return P::WritePersistencyData(s, kTag, gCRRect{1.0f, 2.0f, 0.5f, 0.0f});
     },
     Head(16) + Bytes({0, 0, 0, 0x40, 0, 0, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0x3F})},
    {"StringCountsUnits", [](gCStream* s) { return P::WritePersistencyData(s, kTag, S("ab")); },
     Head(2) + Bytes({0x61, 0, 0x62, 0})},
    {"Block", [](gCStream* s) { return P::WritePersistencyBlock(s, kTag, "xyz", 3); },
     Head(3) + "xyz"},
    {"EmptyBlock", [](gCStream* s) { return P::WritePersistencyBlock(s, kTag, "", 0); }, Head(0)},
};

class Record : public TempVolume, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(Record, FileBytes) {
    gCFRef ref(S("HD:rec.bin"));
    {
        gCFile file;
        ASSERT_EQ(file.Open(&ref, eAccessWholeNew), eNoError);
        EXPECT_EQ(GetParam().write(&file), eNoError);
    }
    EXPECT_EQ(FileBytes(Posix("rec.bin")), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Forms, Record, ::testing::ValuesIn(kRecords),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecordFailure, NullStreamOrDataWritesNothing) {
    EXPECT_EQ(P::WritePersistencyData(nullptr, kTag, int32_t(1)), eBadParameter);
    gCMemFile mem;
    EXPECT_EQ(P::WritePersistencyBlock(&mem, kTag, nullptr, 4), eBadParameter);
    EXPECT_EQ(mem.Length(), 0);
}

TEST(RecordFailure, ClosedStreamGivesItsError) {
    gCFile closed;
    EXPECT_EQ(P::WritePersistencyData(&closed, kTag, 1.0f), eInvalidFile);
}

} // namespace
