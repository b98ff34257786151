#pragma once
// A byte stream over a file, through a POSIX file descriptor.
//
// Access modes: 0 read/write (created when missing), 1 read only, 2 a whole
// new file (created when missing), 3 write in place without truncation.
// Mode 2 never touches the file it replaces until the stream closes: the
// bytes go to a temporary file beside it, and closing (explicitly or by
// destroying the stream) flushes that file and renames it over the target
// only when every write succeeded; otherwise the temporary file is removed
// and the target stays as it was. The temporary is named
// ".<name>.save-<process id>-<count>"; one left by a process that died
// before its rename is removed by the next whole-new-file open of the same
// target.

#include <cstdint>
#include <string>

#include "FileIO/gCStream.h"

class gCFRef;
class gCFRelative;

// How Open opens a file.
enum EFileAccess : int32_t {
    eAccessReadWrite = 0,    // read and write, created when missing
    eAccessReadOnly = 1,     // read only
    eAccessWholeNew = 2,     // a whole new file, put in place when the stream closes
    eAccessWriteInPlace = 3, // write in place without truncation
};

class gCFile : public gCStream {
public:
    explicit gCFile(int32_t value = 0);
    ~gCFile() override;

    // A file still open is closed first: when that close fails its error
    // (14) is the result and nothing new is opened. 6 for a null or invalid
    // reference.
    error Open(gCFRef* ref, EFileAccess access);
    error Open(gCFRelative* ref, EFileAccess access);
    // 0 when nothing was open; 14 when the close failed or a whole new file
    // could not be put in place (the target is then unchanged).
    error Close();
    // Closes the file, but a whole new file in the making is removed and
    // the file it was to replace stays as it was: for a copy or save that
    // failed for a reason other than a write.
    void Discard();
    bool IsOpen() const { return m_nFD >= 0; }

    // The file's length as a 32-bit count; 1 when no file is open. Length()
    // gives the whole 64-bit length.
    int32_t GetFileLength();
    // Up to n bytes: reaching the end of the file part-way still gives 0.
    // 6 when no file is open, 15 on a read failure.
    error ReadBuffer(void* buffer, int32_t n);
    // As ReadBuffer, giving the number of bytes read.
    error ReadBufferLen(void* buffer, int32_t n, int32_t& count);
    // All n bytes or 15; 6 when no file is open.
    error WriteBuffer(const void* buffer, int32_t n);

    error ReadAsciiString(gCString& text) override;
    error ReadString(gCString& text) override;
    error ReadBlock(void* destination, int32_t n) override;
    error WriteAsciiString(gCString text, int32_t eol) override;
    error WriteString(gCString text, int32_t eol) override;
    error WriteBlock(const void* source, int32_t n) override;

    error Rewind() override;
    error FastForward() override;
    error GetFilePos(int32_t& position) override;
    error GetFilePos(int64_t& position) override;
    int64_t GetFilePos() override;
    error SetFilePos(int64_t position) override;
    bool FileEnd() override;
    int64_t Length() override;

    // For tests: called when a whole new file has been written and flushed,
    // just before it is renamed over its target (a crash there leaves the
    // temporary behind). Null in the program.
    static void (*m_pBeforeReplaceHook)();

protected:
    bool IsOpenForReading() override { return IsOpen(); }

private:
    error OpenPosix(const std::string& path, EFileAccess access);
    error OpenWholeNewFile(const std::string& given);

    int32_t m_nValue = 0;
    int m_nFD = -1;
    // A whole new file in the making: the target and the temporary file.
    std::string m_Target;
    std::string m_Temporary;
    bool m_fWriteFailed = false;
    // Exceptions in flight when the whole new file was opened.
    int m_nUncaughtAtOpen = 0;
};
