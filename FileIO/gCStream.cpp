#include "FileIO/gCStream.h"

#include "FileIO/detail/ByteOrder.h"
#include "foundation/StringUnits.h"

template <typename T> error gCStream::ReadValue(T& value) {
    if (!IsOpenForReading()) {
        return eInvalidFile;
    }
    unsigned char bytes[sizeof(T)];
    const error e = ReadBlock(bytes, int32_t(sizeof(T)));
    if (e != eNoError) {
        return e;
    }
    value = LoadLittleEndian<T>(bytes);
    return eNoError;
}

template <typename T> error gCStream::WriteValue(T value) {
    unsigned char bytes[sizeof(T)];
    StoreLittleEndian(value, bytes);
    return WriteBlock(bytes, int32_t(sizeof(T)));
}

error gCStream::ReadInt32(int32_t& value) {
    return ReadValue(value);
}
error gCStream::ReadInt8(char& value) {
    return ReadValue(value);
}
error gCStream::ReadInt16(int16_t& value) {
    return ReadValue(value);
}
error gCStream::ReadInt64(int64_t& value) {
    return ReadValue(value);
}
error gCStream::ReadUint8(unsigned char& value) {
    return ReadValue(value);
}
error gCStream::ReadUint16(uint16_t& value) {
    return ReadValue(value);
}
error gCStream::ReadUint32(uint32_t& value) {
    return ReadValue(value);
}
error gCStream::ReadUint64(uint64_t& value) {
    return ReadValue(value);
}
error gCStream::ReadReal(float& value) {
    return ReadValue(value);
}
error gCStream::ReadReal64(double& value) {
    return ReadValue(value);
}
error gCStream::ReadFlag(int32_t& value) {
    return ReadValue(value);
}

error gCStream::WriteInt32(int32_t value) {
    return WriteValue(value);
}
error gCStream::WriteInt8(char value) {
    return WriteValue(value);
}
error gCStream::WriteInt16(int16_t value) {
    return WriteValue(value);
}
error gCStream::WriteInt64(int64_t value) {
    return WriteValue(value);
}
error gCStream::WriteUint8(unsigned char value) {
    return WriteValue(value);
}
error gCStream::WriteUint16(uint16_t value) {
    return WriteValue(value);
}
error gCStream::WriteUint32(uint32_t value) {
    return WriteValue(value);
}
error gCStream::WriteUint64(uint64_t value) {
    return WriteValue(value);
}
error gCStream::WriteReal(float value) {
    return WriteValue(value);
}
error gCStream::WriteReal64(double value) {
    return WriteValue(value);
}
error gCStream::WriteFlag(int32_t value) {
    return WriteValue(value);
}

error gCStream::WriteUnicodeEndianID() {
    return WriteUint16(0xFEFF);
}

void gCStream::SetReadWriteTextAsAscii(int32_t flag) {
    m_fTextAsAscii = flag;
}

std::u16string TextWithLineEnd(const gCString& text, int32_t eol) {
    std::u16string out(TextOf(text));
    if (eol) {
        out += u"\n\r";
    }
    return out;
}

std::string AsciiWithLineEnd(const gCString& text, int32_t eol) {
    const std::u16string units = TextWithLineEnd(text, eol);
    std::string out;
    for (size_t i = 0; i < units.size() && i < 4095 && units[i] <= 0xFF; ++i) {
        out.push_back(char(units[i]));
    }
    return out;
}
