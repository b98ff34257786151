#pragma once
// The picture files image blocks take as they are: PNG, JPEG or BMP.

#include <string>

// Whether the bytes start as a PNG, JPEG or BMP file does.
bool IsImageFile(const std::string& bytes);

// Whether a PNG file carries a background colour (bKGD) before its image
// data: the image loader flattens alpha onto it.
bool PngHasBackground(const std::string& bytes);
