#include "FileIO/gCFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "FileIO/detail/SaveTemporaries.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFRelative.h"
#include "foundation/ErrorReport.h"
#include "foundation/StringUnits.h"

namespace {

// A failed open: a missing file or folder or a bad name is 16, anything
// else (I/O, permissions) 15.
error OpenFailure(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case EISDIR:
    case ENXIO: // a pipe without a reader
        return eInvalidFile;
    default:
        return eFileReadWriteError;
    }
}

} // namespace

void (*gCFile::m_pBeforeReplaceHook)() = nullptr;

gCFile::gCFile(int32_t value) : m_nValue(value) {
    m_nKind = eFileStream;
}

gCFile::~gCFile() {
    // Destroyed while an exception (an allocation failure) unwinds the
    // writer: the whole new file is unfinished and must not replace the
    // old one.
    if (std::uncaught_exceptions() > m_nUncaughtAtOpen) {
        Discard();
    }
    // A destructor has no result: a whole new file that cannot be put in
    // place leaves its target as it was. Writers that must know close
    // explicitly.
    (void)Close();
}

error gCFile::Open(gCFRef* ref, EFileAccess access) {
    if (!ref || !ref->IsValid()) {
        return eBadParameter;
    }
    return OpenPosix(ref->PosixPath(), access);
}

error gCFile::Open(gCFRelative* ref, EFileAccess access) {
    if (!ref || !ref->IsValid()) {
        const error closed = Close();
        return closed != eNoError ? closed : eBadParameter;
    }
    if (access < 0 || access > 3) {
        const error closed = Close();
        // The alert always answers 0.
        (void)ReportError(eBadParameter, "Unknown Access state passed to gCFile.");
        return closed != eNoError ? closed : eBadParameter;
    }
    gCFRef full(ref->FileReference());
    return OpenPosix(full.PosixPath(), access);
}

error gCFile::OpenPosix(const std::string& path, EFileAccess access) {
    // A file still open is closed first; when that fails (a whole new file
    // that could not be put in place) the failure is the result, so that
    // an earlier save is never lost behind a new open.
    const error closed = Close();
    if (closed != eNoError) {
        return closed;
    }
    if (path.empty()) {
        return eInvalidFile;
    }
    if (access == eAccessWholeNew) {
        return OpenWholeNewFile(path);
    }
    int flags = O_RDWR | O_CREAT;
    if (access == eAccessReadOnly) {
        flags = O_RDONLY;
    } else if (access == eAccessWriteInPlace) {
        flags = O_WRONLY;
    }
    // Opened without waiting, so that a pipe never blocks the program; only
    // a regular file is taken (not a folder, device, pipe or socket).
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        return OpenFailure(errno);
    }
    struct stat st;
    const int status = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || status < 0 ||
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return eInvalidFile;
    }
    m_nFD = fd;
    return eNoError;
}

error gCFile::OpenWholeNewFile(const std::string& given) {
    // A link is followed, so that the file it names is the one replaced.
    std::string path = given;
    struct stat st;
    if (::lstat(given.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(given.c_str(), nullptr)) {
            path = real;
            std::free(real);
        }
    }
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        // A folder, device, pipe or socket is never replaced by a file.
        return eInvalidFile;
    }
    // Temporaries that an earlier save of this file left when its process
    // died go now.
    savetemp::RemoveStale(path);
    const std::string stem = savetemp::Stem(path);
    static uint32_t s_nCounter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "%ld-%u", long(::getpid()), unsigned(++s_nCounter));
        const std::string temporary = stem + suffix;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return OpenFailure(errno);
        }
        if (exists) {
            // The new file keeps the permissions of the one it replaces.
            ::fchmod(fd, st.st_mode & 07777);
        }
        m_nFD = fd;
        m_Target = path;
        m_Temporary = temporary;
        m_fWriteFailed = false;
        m_nUncaughtAtOpen = std::uncaught_exceptions();
        return eNoError;
    }
    return eFileReadWriteError;
}

error gCFile::Close() {
    if (m_nFD < 0) {
        return eNoError;
    }
    if (m_Temporary.empty()) {
        // The descriptor is gone even when close fails: it is never kept,
        // since the number may already belong to another file.
        const bool closed = ::close(m_nFD) == 0 || errno == EINTR;
        m_nFD = -1;
        return closed ? eNoError : eFileCloseError;
    }
    // A whole new file: in place only when every byte reached the disk.
    bool ok = !m_fWriteFailed && ::fsync(m_nFD) == 0;
    ok = (::close(m_nFD) == 0) && ok;
    m_nFD = -1;
    if (ok && m_pBeforeReplaceHook) {
        m_pBeforeReplaceHook();
    }
    ok = ok && ::rename(m_Temporary.c_str(), m_Target.c_str()) == 0;
    if (!ok) {
        ::unlink(m_Temporary.c_str());
    }
    m_Temporary.clear();
    m_Target.clear();
    m_fWriteFailed = false;
    return ok ? eNoError : eFileCloseError;
}

void gCFile::Discard() {
    m_fWriteFailed = true;
    // The file is being thrown away: whatever the close gives, the target
    // stays as it was.
    (void)Close();
}

int32_t gCFile::GetFileLength() {
    struct stat st;
    if (m_nFD < 0 || ::fstat(m_nFD, &st) != 0) {
        return 1;
    }
    return int32_t(st.st_size);
}

error gCFile::ReadBuffer(void* buffer, int32_t n) {
    int32_t count = 0;
    return ReadBufferLen(buffer, n, count);
}

error gCFile::ReadBufferLen(void* buffer, int32_t n, int32_t& count) {
    count = 0;
    if (m_nFD < 0) {
        return eBadParameter;
    }
    if (n < 0) {
        return eBadParameter;
    }
    auto* out = static_cast<unsigned char*>(buffer);
    while (count < n) {
        const ssize_t got = ::read(m_nFD, out + count, size_t(n - count));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return eFileReadWriteError;
        }
        if (got == 0) {
            break; // the end of the file
        }
        count += int32_t(got);
    }
    return eNoError;
}

error gCFile::WriteBuffer(const void* buffer, int32_t n) {
    if (m_nFD < 0) {
        return eBadParameter;
    }
    if (n < 0) {
        return eBadParameter;
    }
    const auto* in = static_cast<const unsigned char*>(buffer);
    int32_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(m_nFD, in + done, size_t(n - done));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            m_fWriteFailed = true;
            return eFileReadWriteError;
        }
        done += int32_t(put);
    }
    return eNoError;
}

error gCFile::ReadBlock(void* destination, int32_t n) {
    if (m_nFD < 0) {
        return eInvalidFile;
    }
    if (FileEnd()) {
        return eFileReadWriteError;
    }
    int32_t count = 0;
    const error e = ReadBufferLen(destination, n, count);
    if (e != eNoError) {
        return e;
    }
    return count == n ? eNoError : eFileReadWriteError;
}

error gCFile::WriteBlock(const void* source, int32_t n) {
    if (m_nFD < 0) {
        return eInvalidFile;
    }
    return WriteBuffer(source, n);
}

error gCFile::WriteString(gCString text, int32_t eol) {
    if (m_fTextAsAscii) {
        return WriteAsciiString(text, eol);
    }
    if (m_nFD < 0) {
        return eInvalidFile;
    }
    const std::u16string units = TextWithLineEnd(text, eol);
    std::string bytes(units.size() * 2, '\0');
    for (size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = char(units[i] & 0xFF);
        bytes[2 * i + 1] = char(units[i] >> 8);
    }
    return WriteBuffer(bytes.data(), int32_t(bytes.size()));
}

error gCFile::WriteAsciiString(gCString text, int32_t eol) {
    if (m_nFD < 0) {
        return eInvalidFile;
    }
    const std::string latin1 = AsciiWithLineEnd(text, eol);
    return WriteBuffer(latin1.data(), int32_t(latin1.size()));
}

error gCFile::Rewind() {
    if (m_nFD < 0) {
        return eInvalidFile;
    }
    return SetFilePos(0);
}

error gCFile::FastForward() {
    if (m_nFD < 0) {
        return eInvalidFile;
    }
    // A seek that fails is reported: the next write must not land
    // elsewhere than at the end.
    return SetFilePos(Length());
}

error gCFile::GetFilePos(int32_t& position) {
    int64_t p = 0;
    const error e = GetFilePos(p);
    if (e == eNoError) {
        position = int32_t(p);
    }
    return e;
}

error gCFile::GetFilePos(int64_t& position) {
    if (m_nFD < 0) {
        return eInvalidFile;
    }
    const off_t p = ::lseek(m_nFD, 0, SEEK_CUR);
    if (p < 0) {
        return eFileReadWriteError;
    }
    position = int64_t(p);
    return eNoError;
}

int64_t gCFile::GetFilePos() {
    if (m_nFD < 0) {
        return eInvalidFile;
    }
    int64_t p = 0;
    return GetFilePos(p) == eNoError ? p : -1;
}

error gCFile::SetFilePos(int64_t position) {
    if (m_nFD < 0) {
        return eInvalidFile;
    }
    if (position < 0 || ::lseek(m_nFD, off_t(position), SEEK_SET) < 0) {
        return eFileReadWriteError;
    }
    return eNoError;
}

bool gCFile::FileEnd() {
    if (m_nFD < 0) {
        return true;
    }
    struct stat st;
    const off_t p = ::lseek(m_nFD, 0, SEEK_CUR);
    if (p < 0 || ::fstat(m_nFD, &st) != 0) {
        return true;
    }
    return p >= st.st_size;
}

int64_t gCFile::Length() {
    // The whole length, even past 2 GB where the 32-bit count would wrap,
    // so that copies and loads never take a wrapped count for the file.
    struct stat st;
    if (m_nFD < 0 || ::fstat(m_nFD, &st) != 0) {
        return 1;
    }
    return int64_t(st.st_size);
}
