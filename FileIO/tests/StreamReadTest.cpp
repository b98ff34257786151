// Reading texts and values back: line ends, byte-order marks, NUL-ended
// and unterminated texts, short reads, and the memory stream's limits.

#include <cstring>
#include <optional>
#include <ostream>
#include <vector>

#include "FileIO/CASMemFile.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCMemFile.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/FileIO/TestBytes.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

struct LineCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> texts; // what each ReadString gives
    std::vector<int64_t> positions; // the position after each
    int32_t bigEndianAfter;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

const LineCase kLineCases[] = {
    {"LfCrLines",
     Bytes({0x61, 0, 0x62, 0, 0x0A, 0, 0x0D, 0, 0x63, 0, 0x0A, 0, 0x0D, 0}),
     {"ab\n", "c\n"},
     {8, 14},
     0},
    {"CrLfLine", Bytes({0x61, 0, 0x0D, 0, 0x0A, 0}), {"a\n"}, {6}, 0},
    {"BigEndianAfterMark", Bytes({0xFE, 0xFF, 0, 0x61, 0, 0x0A, 0, 0x0D}), {"a\n"}, {8}, 1},
    {"BigEndianFullwidthLetterAndBackToLittle",
     Bytes({0xFE, 0xFF, 0xFF, 0x21, 0, 0x0A, 0, 0x0D, 0xFF, 0xFE, 0x62, 0, 0, 0}),
     {"\xEF\xBC\xA1\n", "b"},
     {8, 14},
     0},
    {"LittleEndianMarkDropped", Bytes({0xFF, 0xFE, 0x61, 0, 0x0A, 0, 0x0D, 0}), {"a\n"}, {8}, 0},
    {"NulEnded", Bytes({0x61, 0, 0x62, 0, 0, 0, 0x63, 0}), {"ab", "c"}, {6, 8}, 0},
    {"LastTextWithoutLineEnd",
     Bytes({0x61, 0, 0x0A, 0, 0x0D, 0, 0x7A, 0}),
     {"a\n", "z"},
     {6, 8},
     0},
};

class FileLines : public TempVolume, public ::testing::WithParamInterface<LineCase> {};

TEST_P(FileLines, ReadStringSplitsAndPositions) {
    const LineCase& c = GetParam();
    WriteFileBytes(Posix("lines.txt"), c.bytes);
    gCFRef ref(S("HD:lines.txt"));
    gCFile file;
    ASSERT_EQ(file.Open(&ref, eAccessReadOnly), eNoError);
    for (size_t i = 0; i < c.texts.size(); ++i) {
        gCString text;
        EXPECT_EQ(file.ReadString(text), eNoError) << i;
        EXPECT_EQ(U(text), c.texts[i]) << i;
        EXPECT_EQ(file.GetFilePos(), c.positions[i]) << i;
    }
    EXPECT_EQ(file.BigEndianText(), c.bigEndianAfter);
    gCString text = S("unchanged");
    EXPECT_EQ(file.ReadString(text), eFileReadWriteError);
    EXPECT_EQ(U(text), "unchanged");
}

INSTANTIATE_TEST_SUITE_P(Cases, FileLines, ::testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

class FileRead : public TempVolume {
protected:
    // Opens a file holding the bytes, read only.
    void OpenWith(const std::string& bytes) {
        WriteFileBytes(Posix("data.bin"), bytes);
        ref = gCFRef(S("HD:data.bin"));
        ASSERT_EQ(file.Open(&ref, eAccessReadOnly), eNoError);
    }
    gCFRef ref;
    gCFile file;
};

TEST_F(FileRead, AsciiLinesEndAtLfCrCrLfAndNul) {
    OpenWith(std::string("ab\n\rcd\r\nef\0gh", 13));
    const char* expected[] = {"ab\n", "cd\n", "ef", "gh"};
    for (const char* e : expected) {
        gCString text;
        EXPECT_EQ(file.ReadAsciiString(text), eNoError);
        EXPECT_EQ(U(text), e);
    }
    gCString text;
    EXPECT_EQ(file.ReadAsciiString(text), eFileReadWriteError);
}

TEST_F(FileRead, TextLongerThanOneChunk) {
    // 1,023 units put the line end across the first chunk's end.
    for (const int units : {1023, 3000}) {
        std::string bytes;
        for (int i = 0; i < units; ++i) {
            bytes += Bytes({0x61, 0});
        }
        bytes += Bytes({0x0A, 0, 0x0D, 0, 0x62, 0});
        WriteFileBytes(Posix("long.txt"), bytes);
        gCFRef longRef(S("HD:long.txt"));
        gCFile longFile;
        ASSERT_EQ(longFile.Open(&longRef, eAccessReadOnly), eNoError);
        gCString text;
        EXPECT_EQ(longFile.ReadString(text), eNoError) << units;
        EXPECT_EQ(text.GetLength(), units + 1) << units;
        EXPECT_EQ(longFile.GetFilePos(), 2 * units + 4) << units;
        EXPECT_EQ(longFile.ReadString(text), eNoError) << units;
        EXPECT_EQ(U(text), "b") << units;
    }
}

TEST_F(FileRead, ShortReadIsAnErrorForEveryTypedReadAndBlocks) {
    OpenWith(Bytes({1, 2, 3}));
    int32_t i32 = 77;
    EXPECT_EQ(file.ReadInt32(i32), eFileReadWriteError);
    EXPECT_EQ(i32, 77);
    ASSERT_EQ(file.Rewind(), eNoError);
    int64_t i64 = 0;
    EXPECT_EQ(file.ReadInt64(i64), eFileReadWriteError);
    ASSERT_EQ(file.Rewind(), eNoError);
    double r = 0;
    EXPECT_EQ(file.ReadReal64(r), eFileReadWriteError);
    ASSERT_EQ(file.Rewind(), eNoError);
    char block[8] = {};
    EXPECT_EQ(file.ReadBlock(block, 8), eFileReadWriteError);
    ASSERT_EQ(file.Rewind(), eNoError);
    int32_t count = 0;
    EXPECT_EQ(file.ReadBufferLen(block, 8, count), eNoError);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(block[2], 3);
    ASSERT_EQ(file.Rewind(), eNoError);
    int16_t i16 = 0;
    EXPECT_EQ(file.ReadInt16(i16), eNoError);
    EXPECT_EQ(i16, 0x0201);
    unsigned char u8 = 0;
    EXPECT_EQ(file.ReadUint8(u8), eNoError);
    EXPECT_EQ(file.ReadUint8(u8), eFileReadWriteError); // at the end
}

TEST_F(FileRead, SeeksAndLength) {
    OpenWith(Bytes({1, 2, 3, 4, 5}));
    EXPECT_EQ(file.Length(), 5);
    EXPECT_EQ(file.GetFileLength(), 5);
    EXPECT_EQ(file.SetFilePos(3), eNoError);
    int32_t pos = 0;
    EXPECT_EQ(file.GetFilePos(pos), eNoError);
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(file.FastForward(), eNoError);
    EXPECT_TRUE(file.FileEnd());
    EXPECT_EQ(file.SetFilePos(-1), eFileReadWriteError);
}

TEST(ClosedFile, AnswersAsNotOpen) {
    gCFile file;
    EXPECT_EQ(file.GetFileLength(), 1);
    EXPECT_EQ(file.GetFilePos(), 16);
    EXPECT_TRUE(file.FileEnd());
    int32_t v = 0;
    int64_t p = 0;
    char b[4];
    gCString text;
    EXPECT_EQ(file.ReadInt32(v), eInvalidFile);
    EXPECT_EQ(file.WriteInt32(1), eInvalidFile);
    EXPECT_EQ(file.ReadBlock(b, 4), eInvalidFile);
    EXPECT_EQ(file.WriteBlock(b, 4), eInvalidFile);
    EXPECT_EQ(file.ReadString(text), eInvalidFile);
    EXPECT_EQ(file.WriteString(text, 1), eInvalidFile);
    EXPECT_EQ(file.Rewind(), eInvalidFile);
    EXPECT_EQ(file.FastForward(), eInvalidFile);
    EXPECT_EQ(file.GetFilePos(p), eInvalidFile);
    EXPECT_EQ(file.SetFilePos(0), eInvalidFile);
    EXPECT_EQ(file.ReadBuffer(b, 4), eBadParameter);
    EXPECT_EQ(file.WriteBuffer(b, 4), eBadParameter);
    EXPECT_EQ(file.Close(), eNoError);
}

TEST(MemoryStream, NewStreamIsEmptyAndAtItsEnd) {
    gCMemFile mem;
    EXPECT_TRUE(mem.FileEnd());
    EXPECT_EQ(mem.Length(), 0);
    EXPECT_EQ(mem.GetMemBlock()->GetCount(), 2048u);
    EXPECT_EQ(mem.StreamKind(), 2);
}

TEST(MemoryStream, GrowsOnceToFourThousandNinetySixByteByByte) {
    gCMemFile mem;
    std::vector<uint32_t> sizes;
    for (int i = 0; i < 2049; ++i) {
        ASSERT_EQ(mem.WriteUint8(uint8_t(i)), eNoError);
        if (sizes.empty() || sizes.back() != mem.GetMemBlock()->GetCount()) {
            sizes.push_back(mem.GetMemBlock()->GetCount());
        }
        if (i == 2046) {
            EXPECT_EQ(mem.GetMemBlock()->GetCount(), 2048u);
        }
        if (i == 2047) {
            EXPECT_EQ(mem.GetMemBlock()->GetCount(), 4096u);
        }
    }
    EXPECT_EQ(sizes, (std::vector<uint32_t>{2048, 4096}));
    EXPECT_EQ(mem.GetSize(), 2049);
}

TEST(MemoryStream, OneBigBlockGrowsToFourThousandNinetySeven) {
    gCMemFile mem;
    const std::string data(2049, 'x');
    ASSERT_EQ(mem.WriteBlock(data.data(), 2049), eNoError);
    EXPECT_EQ(mem.GetMemBlock()->GetCount(), 4097u);
    EXPECT_EQ(mem.GetMemBlock()->GetData()[4096], 0);
    EXPECT_EQ(mem.Length(), 2049);
}

TEST(MemoryStream, SetFilePosLimits) {
    gCMemFile mem;
    ASSERT_EQ(mem.WriteInt32(0x01020304), eNoError);
    EXPECT_EQ(mem.SetFilePos(4), eNoError);
    EXPECT_TRUE(mem.FileEnd());
    EXPECT_EQ(mem.SetFilePos(5), eFileReadWriteError);
    EXPECT_EQ(mem.GetFilePos(), 3);
    EXPECT_EQ(mem.SetFilePos(-1), eBadParameter);
}

TEST(MemoryStream, FailedReadLeavesDestinationAndStopsAtLastByte) {
    gCMemFile mem;
    ASSERT_EQ(mem.WriteInt16(7), eNoError);
    ASSERT_EQ(mem.Rewind(), eNoError);
    int32_t v = 99;
    EXPECT_EQ(mem.ReadInt32(v), eFileReadWriteError);
    EXPECT_EQ(v, 99);
    EXPECT_EQ(mem.GetFilePos(), 1);
}

TEST(MemoryStream, TextReadsNeverScanPastTheUsedLength) {
    // Stale non-NUL bytes lie in the block beyond the used length.
    gCMemFile mem;
    ASSERT_EQ(mem.WriteBlock("a\0b\0", 4), eNoError); // units without their NUL
    std::memset(mem.GetMemBlock()->GetData() + 4, 'z', 100);
    ASSERT_EQ(mem.Rewind(), eNoError);
    gCString text = S("keep");
    EXPECT_EQ(mem.ReadString(text), eFileReadWriteError);
    EXPECT_EQ(U(text), "keep");
    EXPECT_EQ(mem.GetFilePos(), 3);
    gCMemFile bytes;
    ASSERT_EQ(bytes.WriteBlock("abcd", 4), eNoError); // bytes without their NUL
    std::memset(bytes.GetMemBlock()->GetData() + 4, 'z', 100);
    ASSERT_EQ(bytes.Rewind(), eNoError);
    EXPECT_EQ(bytes.ReadAsciiString(text), eFileReadWriteError);
    EXPECT_EQ(U(text), "keep");
}

TEST(MemoryStream, OverCallersBlockUsesItWhole) {
    CMemBlock block;
    ASSERT_EQ(block.Resize(4, 0), 1);
    std::memcpy(block.GetData(), "ab\0c", 4);
    {
        gCMemFile mem(&block);
        EXPECT_EQ(mem.StreamKind(), 0);
        EXPECT_EQ(mem.Length(), 4);
        gCString text;
        EXPECT_EQ(mem.ReadAsciiString(text), eNoError);
        EXPECT_EQ(U(text), "ab");
        EXPECT_EQ(mem.GetFilePos(), 3);
    }
    EXPECT_EQ(block.GetCount(), 4u); // not freed by the stream
}

// The stream's own block is part of the stream and its bytes come from the
// memory hooks: running out of memory is the result 5, never an exception,
// and never a stream left in between.
TEST(MemoryStreamWithoutMemory, TheBlockIsAskedForAgainAtTheFirstWrite) {
    std::optional<gCMemFile> mem;
    {
        CFailingMemory none;
        ASSERT_NO_THROW(mem.emplace()) << "the block was made with a throwing new";
        EXPECT_EQ(mem->GetMemBlock()->GetData(), nullptr);
        EXPECT_EQ(mem->WriteInt32(7), eOutOfMemory);
        EXPECT_EQ(mem->Length(), 0);
        EXPECT_EQ(mem->GetFilePos(), 0);
        EXPECT_TRUE(mem->FileEnd());
    }
    ASSERT_EQ(mem->WriteInt32(7), eNoError);
    EXPECT_EQ(MemBytes(*mem), Bytes({7, 0, 0, 0}));
    EXPECT_EQ(mem->GetMemBlock()->GetCount(), 4u + 2048u);
}

TEST(MemoryStreamWithoutMemory, GrowthThatFailsLeavesTheStreamAsItWas) {
    gCMemFile mem;
    CASMemFile resizable;
    ASSERT_EQ(mem.WriteBlock("abc", 3), eNoError);
    ASSERT_EQ(resizable.WriteBlock("abc", 3), eNoError);
    const std::string big(4096, 'x');
    {
        CFailingMemory none;
        EXPECT_EQ(mem.WriteBlock(big.data(), 4096), eOutOfMemory);
        EXPECT_EQ(mem.WriteString(gCString(), 0), eNoError)
            << "within the block nothing is allocated";
        EXPECT_EQ(mem.GrowBy(4096), eOutOfMemory);
        EXPECT_FALSE(resizable.Resize(8192, 1));
    }
    for (gCMemFile* stream : {&mem, static_cast<gCMemFile*>(&resizable)}) {
        EXPECT_EQ(stream->GetMemBlock()->GetCount(), 2048u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream->GetMemBlock()->GetData()), 3),
                  "abc");
    }
    EXPECT_EQ(mem.Length(), 5);
    EXPECT_EQ(mem.GetFilePos(), 5);
    EXPECT_EQ(resizable.Length(), 3);
    EXPECT_EQ(resizable.GetFilePos(), 3);
}

} // namespace
