// The stored form of every typed write and text write, on a file and in
// memory.

#include <functional>
#include <ostream>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCMemFile.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/FileIO/TestBytes.h"

namespace {

struct WriteCase {
    const char* name;
    std::function<error(gCStream&)> write;
    std::string fileBytes;
    std::string memoryBytes;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

const WriteCase kWriteCases[] = {
    {"Int32", [](gCStream& s) { return s.WriteInt32(1); }, Bytes({1, 0, 0, 0}),
     Bytes({1, 0, 0, 0})},
    {"Int64", [](gCStream& s) { return s.WriteInt64(1); }, Bytes({1, 0, 0, 0, 0, 0, 0, 0}),
     Bytes({1, 0, 0, 0, 0, 0, 0, 0})},
    {"Real", [](gCStream& s) { return s.WriteReal(1.0f); }, Bytes({0, 0, 0x80, 0x3F}),
     Bytes({0, 0, 0x80, 0x3F})},
    {"Real64", [](gCStream& s) { return s.WriteReal64(1.0); },
     Bytes({0, 0, 0, 0, 0, 0, 0xF0, 0x3F}), Bytes({0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
    {"Flag", [](gCStream& s) { return s.WriteFlag(1); }, Bytes({1, 0, 0, 0}), Bytes({1, 0, 0, 0})},
    {"Int16", [](gCStream& s) { return s.WriteInt16(-2); }, Bytes({0xFE, 0xFF}),
     Bytes({0xFE, 0xFF})},
    {"Uint32", [](gCStream& s) { return s.WriteUint32(0x11223344u); },
     Bytes({0x44, 0x33, 0x22, 0x11}), Bytes({0x44, 0x33, 0x22, 0x11})},
    {"Uint64", [](gCStream& s) { return s.WriteUint64(0x0102030405060708ull); },
     Bytes({8, 7, 6, 5, 4, 3, 2, 1}), Bytes({8, 7, 6, 5, 4, 3, 2, 1})},
    {"Int8AndUint8",
     [](gCStream& s) {
         const error e = s.WriteInt8(char(-1));
         return e != eNoError ? e : s.WriteUint8(0x7F);
     },
     Bytes({0xFF, 0x7F}), Bytes({0xFF, 0x7F})},
    {"StringWithLineEnd", [](gCStream& s) { return s.WriteString(S("ab"), 1); },
     Bytes({0x61, 0, 0x62, 0, 0x0A, 0, 0x0D, 0}),
     Bytes({0x61, 0, 0x62, 0, 0x0A, 0, 0x0D, 0, 0, 0})},
    {"StringWithoutLineEnd", [](gCStream& s) { return s.WriteString(S("ab"), 0); },
     Bytes({0x61, 0, 0x62, 0}), Bytes({0x61, 0, 0x62, 0, 0, 0})},
    {"AsciiString", [](gCStream& s) { return s.WriteAsciiString(S("ab"), 1); },
     Bytes({0x61, 0x62, 0x0A, 0x0D}), Bytes({0x61, 0x62, 0x0A, 0x0D, 0})},
    {"StringAsAscii",
     [](gCStream& s) {
         s.SetReadWriteTextAsAscii(1);
         return s.WriteString(S("é"), 0);
     },
     Bytes({0xE9}), Bytes({0xE9, 0})},
    {"EndianMark", [](gCStream& s) { return s.WriteUnicodeEndianID(); }, Bytes({0xFF, 0xFE}),
     Bytes({0xFF, 0xFE})},
};

class StreamWrite : public TempVolume, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(StreamWrite, FileStoresLittleEndian) {
    gCFRef ref(S("HD:out.bin"));
    {
        gCFile file;
        ASSERT_EQ(file.Open(&ref, eAccessWholeNew), eNoError);
        EXPECT_EQ(GetParam().write(file), eNoError);
        EXPECT_EQ(file.Close(), eNoError);
    }
    EXPECT_EQ(FileBytes(Posix("out.bin")), GetParam().fileBytes);
}

TEST_P(StreamWrite, MemoryStoresLittleEndian) {
    gCMemFile mem;
    EXPECT_EQ(GetParam().write(mem), eNoError);
    EXPECT_EQ(MemBytes(mem), GetParam().memoryBytes);
}

INSTANTIATE_TEST_SUITE_P(Forms, StreamWrite, ::testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StreamRoundTrip, EveryTypedValueReadsBack) {
    gCMemFile mem;
    ASSERT_EQ(mem.WriteInt32(-5), eNoError);
    ASSERT_EQ(mem.WriteInt8('q'), eNoError);
    ASSERT_EQ(mem.WriteInt16(-300), eNoError);
    ASSERT_EQ(mem.WriteInt64(-(int64_t(1) << 40)), eNoError);
    ASSERT_EQ(mem.WriteUint8(200), eNoError);
    ASSERT_EQ(mem.WriteUint16(60000), eNoError);
    ASSERT_EQ(mem.WriteUint32(4000000000u), eNoError);
    ASSERT_EQ(mem.WriteUint64(~uint64_t(0) - 7), eNoError);
    ASSERT_EQ(mem.WriteReal(0.25f), eNoError);
    ASSERT_EQ(mem.WriteReal64(-1.5), eNoError);
    ASSERT_EQ(mem.WriteFlag(1), eNoError);
    ASSERT_EQ(mem.WriteString(S("text"), 0), eNoError);
    ASSERT_EQ(mem.WriteAsciiString(S("ascii"), 0), eNoError);
    ASSERT_EQ(mem.Rewind(), eNoError);

    int32_t i32 = 0;
    char i8 = 0;
    int16_t i16 = 0;
    int64_t i64 = 0;
    unsigned char u8 = 0;
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    uint64_t u64 = 0;
    float r = 0;
    double r64 = 0;
    int32_t flag = 0;
    gCString text, ascii;
    EXPECT_EQ(mem.ReadInt32(i32), eNoError);
    ASSERT_EQ(mem.ReadInt8(i8), eNoError);
    ASSERT_EQ(mem.ReadInt16(i16), eNoError);
    ASSERT_EQ(mem.ReadInt64(i64), eNoError);
    ASSERT_EQ(mem.ReadUint8(u8), eNoError);
    ASSERT_EQ(mem.ReadUint16(u16), eNoError);
    ASSERT_EQ(mem.ReadUint32(u32), eNoError);
    ASSERT_EQ(mem.ReadUint64(u64), eNoError);
    ASSERT_EQ(mem.ReadReal(r), eNoError);
    ASSERT_EQ(mem.ReadReal64(r64), eNoError);
    ASSERT_EQ(mem.ReadFlag(flag), eNoError);
    EXPECT_EQ(mem.ReadString(text), eNoError);
    EXPECT_EQ(mem.ReadAsciiString(ascii), eNoError);
    EXPECT_EQ(i32, -5);
    EXPECT_EQ(i8, 'q');
    EXPECT_EQ(i16, -300);
    EXPECT_EQ(i64, -(int64_t(1) << 40));
    EXPECT_EQ(u8, 200);
    EXPECT_EQ(u16, 60000);
    EXPECT_EQ(u32, 4000000000u);
    EXPECT_EQ(u64, ~uint64_t(0) - 7);
    EXPECT_EQ(r, 0.25f);
    EXPECT_EQ(r64, -1.5);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(U(text), "text");
    EXPECT_EQ(U(ascii), "ascii");
    EXPECT_TRUE(mem.FileEnd());
    EXPECT_EQ(mem.ReadInt32(i32), eFileReadWriteError);
}

} // namespace
