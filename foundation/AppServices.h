#pragma once
// What the toolkit's lower layers need of the one application object: the
// heartbeat and cursor state for the modal scope guards, alerts, the
// application folder and creator code, the resource and font files with
// their indexes, the string table, and the shared resource pools.
//
// The platform layer's application object implements this and registers
// itself; tests register a fake. Lower layers never include the platform.

#include <cstdint>
#include <string_view>

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

    // The application folder as a colon path ending in ':'.
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

private:
    static inline CAppServices* s_pServices = nullptr;
};
