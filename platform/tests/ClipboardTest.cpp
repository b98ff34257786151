// The application's clipboard over SDL's UTF-8 clipboard: a text beyond
// Latin-1 and beyond the Basic Plane goes there and back unchanged.
#include <gtest/gtest.h>

#include <SDL.h>

#include <string>

#include "foundation/Utf8.h"
#include "testsupport/platform/HeadlessWindow.h"

namespace {

using Clipboard = HeadlessWindow;

TEST_F(Clipboard, TextRoundTripsThroughTheSystemClipboard) {
    const std::string utf8 = "caf\u00e9 \u2713 \U0001D11E";
    gCString text;
    ASSERT_EQ(gStringFromUtf8(text, utf8), eNoError);
    ASSERT_EQ(text.GetLength(), 9); // the clef is a pair of units
    ASSERT_EQ(app.OSCopy(text), eNoError);
    char* held = SDL_GetClipboardText();
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(std::string(held), utf8);
    SDL_free(held);

    gCString pasted;
    ASSERT_EQ(app.OSPaste(pasted), eNoError);
    EXPECT_EQ(gStringToUtf8(pasted), utf8);

    // A clipboard without text pastes as the empty text.
    ASSERT_EQ(app.OSCopy(gCString()), eNoError);
    ASSERT_EQ(app.OSPaste(pasted), eNoError);
    EXPECT_EQ(pasted.GetLength(), 0);
}

} // namespace
