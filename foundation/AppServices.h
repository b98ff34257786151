#pragma once
// What the toolkit's lower layers need of the one application object: the
// heartbeat and cursor state for the modal scope guards, alerts, the
// application folder and creator code, the resource and font files with
// their indexes, the string table, the shared resource pools, and the input
// state with the tablet service for the layers that are not allowed to see
// the platform (the painting document and its tools).
//
// The platform layer's application object implements this and registers
// itself; tests register a fake. Lower layers never include the platform.

#include <cstdint>
#include <string_view>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/Input.h"

class gCString;
class gCFile;
class gCResourceIndex;
class gCResourceObject;
class gCStringTable;
class CResourcePool;

class CAppServices {
public:
    virtual ~CAppServices() = default;

    // The registered application services, or null before any exists.
    static CAppServices* Get() { return s_pServices; }
    static void Register(CAppServices* services) { s_pServices = services; }

    // Heartbeat.
    virtual int32_t IsHeartbeatRunning() = 0;
    virtual void StartHeartbeat() = 0;
    virtual void StopHeartbeat() = 0;

    // Cursors: the system's and the one the application draws.
    virtual int32_t IsSystemCursorVisible() = 0;
    virtual int32_t IsVantorCursorVisible() = 0;
    virtual void HideCursor() = 0; // hides both
    virtual void HideSystemCursor() = 0;
    virtual void ShowSystemCursor() = 0;
    virtual void ShowVantorCursor() = 0;

    // A plain modal alert with a headline and an explanatory text, both
    // UTF-8; returns when the user has dismissed it.
    virtual void ShowAlert(std::string_view headline, std::string_view text) = 0;

    // The application folder as a colon path ending in ':'; the empty text
    // when there is none or it cannot be made (never a stale text).
    virtual void GetApplicationRoot(gCString& root) = 0;
    // The application's creator code.
    virtual uint32_t GetMacType() = 0;

    // The interface's resource file and index, the font file and index, and
    // the string table; each may be null.
    virtual gCFile* GetResFile() = 0;
    virtual gCResourceIndex* GetResIndex() = 0;
    virtual gCFile* GetFontFile() = 0;
    virtual gCResourceIndex* GetFontIndex() = 0;
    virtual gCStringTable* GetStringTable() = 0;

    // The shared resource pools: 1 images and image lists, 5 fonts; -1
    // searches pools 0 to 4.
    virtual CResourcePool* GetResourcePool(int32_t type) = 0;
    virtual gCResourceObject* FindResourceByID(int32_t type, int32_t id) = 0;
    virtual gCResourceObject* FindResourceByName(int32_t type, const gCString& name) = 0;

    // Input, answered from what the application has taken in; services
    // without input devices (the resource compiler) keep these answers of
    // "nothing held, nothing waiting". Buttons: 1 while held (the
    // still-down forms since the last press); control-click is the
    // secondary button.
    virtual int32_t LButtonDown() const { return 0; }
    virtual int32_t RButtonDown() const { return 0; }
    virtual int32_t MButtonDown() const { return 0; }
    virtual int32_t LButtonStillDown() const { return 0; }
    virtual int32_t RButtonStillDown() const { return 0; }
    virtual int32_t MButtonStillDown() const { return 0; }
    virtual int32_t AnyButtonDown() const { return 0; }
    virtual int32_t AnyButtonStillDown() const { return 0; }
    // Keys by their IsKeyDown codes; the modifier forms answer the
    // modifier's bit (non-zero, not 1). While a key or mouse record is
    // handled, the modifiers are those that came with it, whatever has
    // arrived since.
    virtual uint32_t IsKeyDown(uint32_t) const { return 0; }
    virtual uint32_t IsShiftKeyDown() const { return 0; }
    virtual uint32_t IsCtrlKeyDown() const { return 0; }
    virtual uint32_t IsAltKeyDown() const { return 0; }
    virtual uint32_t IsMenuKeyDown() const { return 0; }
    // A modifier key as it was held with the latest release of a button: a
    // gesture that ends at the release decides by it, not by what is held
    // when its handler gets to ask.
    virtual uint32_t IsKeyDownAtRelease(uint32_t code) const { return IsKeyDown(code); }
    // When the mouse button record being handled happened, in milliseconds
    // on the window system's clock; 0 when it is not known (no such record,
    // or a window system that does not say). A double click is timed by it:
    // a program busy after the first click takes the second late.
    virtual uint32_t HandledButtonMilliseconds() const { return 0; }
    // The mouse position in desktop coordinates.
    virtual gCPoint CursorLoc() const { return gCPoint(); }
    // Where the pointer was at the latest release of a button, in desktop
    // coordinates: a click is decided where it ended, not where the pointer
    // has gone since the program last looked.
    virtual gCPoint CursorLocAtRelease() const { return CursorLoc(); }
    // One idle tick from inside a modal loop.
    virtual error AppHeartbeat() { return eNoError; }
    // Dispatches what is waiting, without waiting; 0.
    virtual int32_t PumpMessage() { return 0; }
    // Sleeps until new input arrives, or a short while at most (so a loop
    // polling the buttons without a heartbeat does not spin the
    // processor); at once when input is already waiting.
    virtual void WaitForInput() {}
    // The tablet service, or null when there is none.
    virtual CTabletSource* GetTabletSource() { return nullptr; }

    // The system clipboard as Unicode text. OSCopy replaces what it holds
    // by the text; OSPaste fills the string with its text (empty when it
    // holds none). 0, or the failure (5 when memory runs out). Services
    // without a clipboard refuse both with 9.
    virtual error OSCopy(const gCString&) { return eNotImplemented; }
    virtual error OSPaste(gCString&) { return eNotImplemented; }
    // Broadcast to the application, its message hub and the main window's
    // widget tree; the first non-zero answer, else 0.
    virtual int32_t PassMessage(uint32_t, void*, uintptr_t) { return 0; }
    // The application object's own data-channel receiver (set 1 stores the
    // value, 0 writes the current one back); 0 when handled.
    virtual int32_t ProcessData(uint32_t, const void*, int64_t, int32_t) { return 0; }

private:
    static inline CAppServices* s_pServices = nullptr;
};
