#pragma once
// Byte helpers for stream tests: a file's or a memory stream's bytes, and
// bytes written as a list of values.

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

#include "FileIO/gCMemFile.h"

inline std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out.push_back(char(v));
    }
    return out;
}

inline std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The used bytes of a memory stream.
inline std::string MemBytes(gCMemFile& mem) {
    return std::string(reinterpret_cast<const char*>(mem.GetMemBlock()->GetData()),
                       size_t(mem.GetSize()));
}
