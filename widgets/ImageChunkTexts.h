#pragma once
// The texts an image-bearing widget class shows for its image chunks and
// for the failures of applying them after the block, so that classes above
// the toolkit can load their images with their own texts.

namespace widget_loading {

// A class's texts, one per chunk and one per failure after the block; a
// chunk whose text is null shows its code's message alone.
struct SImageTexts {
    const char* imag;
    const char* imls;
    const char* imlx;
    const char* imsh;
    const char* stim;
    const char* imcm;
    const char* sharedLoad;
    const char* load;
    const char* assign;
    const char* listLoad;
    const char* assignList;
    const char* index;
};

} // namespace widget_loading
