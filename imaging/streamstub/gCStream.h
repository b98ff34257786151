#pragma once
// Temporary stand-in for the toolkit's byte stream until the real one is
// merged: only the operations the image codecs use.

#include <cstdint>

#include "Error.h"
#include "gCBaseObject.h"

class gCStream : public gCBaseObject {
public:
    virtual error ReadBlock(char* data, int32_t n) = 0;
    virtual error WriteBlock(char* data, int32_t n) = 0;
    virtual error Rewind() = 0;
    virtual int64_t GetFilePos() = 0;
    virtual error SetFilePos(int64_t pos) = 0;
    virtual bool FileEnd() = 0;
    virtual int64_t Length() = 0;
};
