#pragma once
// A paper as the canvas shows it, drawn by the canvas itself: the paper
// block written into a resource file of its own, which stands in as the
// application's while a canvas of the asked size is made on that paper in
// the default paper colour and lit by the standard renderer's lights. The
// new-painting panel and the canvas picker show these as their previews.

#include <cstdint>
#include <string>
#include <vector>

#include "devtools/rc/SourceModel.h"

// The lit pixels, width × height words row after row, of a new canvas on
// the paper block's paper (its id one of the canvas's papers). False with
// the reason when the file cannot be written, the canvas cannot be made or
// lit, or it lays no grain from the paper.
bool LightPaper(const ResourceBlock& paper, int32_t width, int32_t height,
                std::vector<uint32_t>& pixels, std::string& why);
