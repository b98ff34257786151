#pragma once
// The one application object: how every subsystem reaches the platform.
// It holds the resource files, their indexes, the shared resource pools and
// the string table, answers button, key and cursor questions, runs the idle
// tick and the heartbeat, and broadcasts messages. CAppBase is the
// platform-neutral part, CAppMac the implementation over SDL, CApp the
// concrete class the application derives from.

#include <cstdint>
#include <memory>

#include "FileIO/CResourcePool.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "FileIO/gCStringTable.h"
#include "foundation/AppServices.h"
#include "foundation/CMemBlock.h"
#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCArray.h"
#include "foundation/gCCmdTarget.h"
#include "foundation/gCString.h"
#include "platform/MessageHub.h"
#include "platform/PlatformAudioManager.h"
#include "platform/WindowRoot.h"

class CAppWindow;
class CTabletServices;
class CTCPAppSocket;
class gCMemFile;
struct CNetInfo;
class CWindowBase;

// The index of a resource pool: 1 images and image lists, 5 fonts; 0, 2, 3
// and 4 stay empty. -1 searches pools 0 to 4 (not the font pool).
enum EResourcePoolType : int32_t {
    eResPoolSearch = -1,
    eResPoolGeneral = 0,
    eResPoolImages = 1,
    eResPool2 = 2,
    eResPool3 = 3,
    eResPool4 = 4,
    eResPoolFonts = 5,
};
constexpr int32_t kResourcePoolCount = 6;

class CAppBase : public gCCmdTarget, public CAppServices {
public:
    using FactoryProc = gCResourceObject* (*)();
    struct SFactoryEntry {
        gCString name;
        FactoryProc creator;
    };

    CAppBase();
    ~CAppBase() override;
    CAppBase(const CAppBase&) = delete;
    CAppBase& operator=(const CAppBase&) = delete;

    // Quitting.
    virtual void AppClosing() = 0;
    virtual int32_t IsAppClosing() { return m_fClosing; }
    virtual void SetExclusive(const gCString&) {}
    virtual void DoSystemQuit() { m_fClosing = 1; }
    // 2 cancels quitting.
    virtual error ExitApp() { return eHandled; }

    virtual uint32_t MacType() { return m_nMacType; }
    virtual void SetMacType(uint32_t type) { m_nMacType = type; }

    // Buttons, keys and the cursor position (on the desktop) are the
    // application services' input queries, answered by the platform's
    // application object from the input it has taken in.
    // Takes a waiting button press from the queue; whether there was one.
    virtual int32_t ButtonDownsInQueue() const = 0;

    // Cursors: the system's, and the one the backdrop draws.
    virtual void DoSystemCursorTemp();
    virtual void EndSystemCursorTemp();
    void HideCursor() override;
    void HideSystemCursor() override = 0;
    void ShowSystemCursor() override = 0;
    virtual void HideVantorCursor();
    void ShowVantorCursor() override;
    int32_t IsVantorCursorVisible() override;
    int32_t IsSystemCursorVisible() override { return m_fSysCursorVisible; }
    // 9: the pointer cannot be moved.
    virtual error SetCursorLoc(gCPoint where) = 0;
    virtual void CursorHeartbeat();

    // The heartbeat.
    error AppHeartbeat() override;
    void StartHeartbeat() override { m_fHeartbeat = 1; }
    void StopHeartbeat() override { m_fHeartbeat = 0; }
    int32_t IsHeartbeatRunning() override { return m_fHeartbeat; }
    virtual void StopCursorHeart() { m_fCursorHeart = 0; }
    virtual void StartCursorHeart() { m_fCursorHeart = 1; }

    virtual error OSFilesDropped(const gCArray<gCString>&) { return eNoError; }

    // The main window. Both forms take the backdrop (owned by the window
    // from then on, deleted when no window can be had), make the window,
    // set up the backdrop's interface and show the window: 5 without
    // memory for the window or its title, 1 when the platform window cannot
    // be made, else the backdrop's or the window's error. A null title takes
    // the backdrop's name; menu flag 0 hides the system menu bar. After a
    // failure a window that was made stays the main window, for the caller
    // to end.
    virtual error MakeWindow(CWindowRoot* backdrop, int32_t style, int32_t width, int32_t height,
                             const char* title, int32_t menuFlag);
    virtual error MakeWindow(CWindowRoot* backdrop, int32_t style, int32_t mode, gCRPoint size,
                             gCRPoint position, const char* title, int32_t menuFlag);
    // A new application window; null when memory runs out.
    virtual CAppWindow* NewWindow();

    // Broadcast: the application's own Message, then the hub, then the
    // main window's widget tree; the first non-zero answer.
    int32_t PassMessage(uint32_t id, void* data, uintptr_t extra) override;
    // The data channel's receiver for both bases: the command target's.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override {
        return gCCmdTarget::ProcessData(id, sender, value, set);
    }
    virtual error AddMessageTarget(gCCmdTarget* target);
    virtual void RemoveMessageTarget(gCCmdTarget* target);
    virtual int32_t HubMessage(uint32_t id, void* data, uintptr_t extra);

    // Opens the resource file with its index, the string table when there
    // is one, and the font file with its index. Everything is loaded aside
    // and put in place together once it all loaded: without the resource
    // file the answer is 0 and the application has no resources (start-up
    // goes on without them). A failure (the index's or the string table's
    // error, 5 without memory) leaves the resources the application had
    // before the call, and never a half-built index, table or open file.
    virtual error InitResFile();

    // Settings kept on the machine or for the user.
    virtual error LocalMachineString(const gCString& section, const gCString& key,
                                     gCString& value) = 0;
    virtual error LocalMachineUint32(const gCString& section, const gCString& key,
                                     uint32_t& value) = 0;
    virtual error SetLocalMachineString(const gCString& section, const gCString& key,
                                        const gCString& value) = 0;
    virtual error SetLocalMachineUint32(const gCString& section, const gCString& key,
                                        uint32_t value) = 0;
    virtual error CurrentUserString(const gCString& section, const gCString& key,
                                    gCString& value) = 0;
    virtual error CurrentUserUint32(const gCString& section, const gCString& key,
                                    uint32_t& value) = 0;
    virtual error SetCurrentUserString(const gCString& section, const gCString& key,
                                       const gCString& value) = 0;
    virtual error SetCurrentUserUint32(const gCString& section, const gCString& key,
                                       uint32_t value) = 0;

    virtual CTabletServices* TabletServices() { return m_pTabletServices.get(); }
    CTabletSource* GetTabletSource() override;

    // The idle tick: cursor, audio clean-up, a queued repaint, networking
    // and, once the heartbeat runs, the application's and the window's
    // heartbeat. 2 while the heartbeat is stopped.
    virtual error OnIdle(uint32_t unused);
    virtual error Initialize(const gCString&) { return eNoError; }
    virtual error ExitInstance() { return eNoError; }
    virtual error Heartbeat() { return eNoError; }
    // Takes a waiting repaint from the queue; whether there was one.
    virtual int32_t PaintMessageQueued() = 0;
    // Creates the tablet service once.
    virtual error InitServices();

    // Resource pools: a pool of 0..5 answers itself, -1 searches 0..4.
    gCResourceObject* FindResourceByID(int32_t type, int32_t id) override;
    gCResourceObject* FindResourceByName(int32_t type, const gCString& name) override;
    CResourcePool* GetResourcePool(int32_t type) override;

    // 5 when the name or the list cannot grow; the list then stays as it
    // was.
    static error RegisterFactory(const char* className, FactoryProc creator);

    // Services for the lower layers.
    void GetApplicationRoot(gCString& root) override { root = m_AppRoot; }
    uint32_t GetMacType() override { return m_nMacType; }
    gCFile* GetResFile() override;
    gCResourceIndex* GetResIndex() override;
    gCFile* GetFontFile() override;
    gCResourceIndex* GetFontIndex() override;
    gCStringTable* GetStringTable() override;

    CPlatformAudioManager& AudioManager() { return *m_pAudioManager; }
    // Puts another audio manager in place (tests record with one).
    void SetAudioManager(std::unique_ptr<CPlatformAudioManager> manager) {
        m_pAudioManager = std::move(manager);
    }

    // Ends the main window the way a window ends: DestroyWindow disposes
    // of the platform window and deletes the window object.
    struct MainWindowEnd {
        void operator()(CWindowBase* window) const;
    };

    static inline CAppBase* m_pApp = nullptr;
    // The main window, owned by the application object. A window that ended
    // itself (DestroyWindow from inside its own making) is let go with
    // release().
    static inline std::unique_ptr<CWindowBase, MainWindowEnd> m_pMainWnd;
    static inline gCArray<SFactoryEntry> m_aObjectFactoryList;

    // Networking (the toolkit's data-pipe sessions). Sessions carry ids
    // from 0, the lowest free one each time; the heartbeat processes every
    // listener and session and deletes those marked closed.
    // Connects to "host:port" text, or to an address and port; id is the
    // session's id, or -1 with the error when it cannot start (23 when it
    // cannot be made).
    error NetConnect(int32_t& id, const gCString& address);
    error NetConnect(int32_t& id, uint32_t address, uint16_t port);
    // 1 when no session has the id.
    error NetDisconnect(int32_t id);
    // Listens on the port (0: an ephemeral port, kept as the listener's
    // port), replacing a listener on that port.
    error NetListen(uint16_t port);
    // 1 when no listener has the port.
    error NetListenStop(uint16_t port);
    // 6 when no session has the id.
    error NetMessageSend(int32_t id, uint32_t messageId, CMemBlockT<unsigned char>* payload);
    error NetGetConns(gCArray<CNetInfo>& conns);
    error NetGetInwardConns(gCArray<CNetInfo>& conns);
    error NetGetOutwardConns(gCArray<CNetInfo>& conns);
    CTCPAppSocket* NewSocket();
    error GiveSocketUniqueID(CTCPAppSocket* session);
    // Takes the accepted session (owned from here on): 1 from
    // IncomingConnection refuses it.
    error AddIncomingConnSocket(CTCPAppSocket* session);
    void CheckAppNetworkingStarted();
    error AppNetworkingHeartbeat();
    void ShutDownNetworking();
    // The hooks: 1 refuses an incoming connection; the message's stream is
    // the session's, read during the call.
    virtual error IncomingConnection(CNetInfo*) { return eNoError; }
    virtual error NetMessageReceived(CNetInfo*, uint32_t, gCMemFile*) { return eNoError; }
    // The sessions (sorted by id) and the listeners.
    const gCArray<CTCPAppSocket*>& NetSessions() const { return m_aSessions; }
    const gCArray<CTCPAppSocket*>& NetListeners() const { return m_aListeners; }

protected:
    // The main window's backdrop, or null before there is one.
    CWindowRoot* Backdrop() const;
    // Deletes the objects of every pool.
    void EmptyResources();
    // Clears the string table and both indexes.
    void ClearResourceIndexes();
    // Sets one of the names the application object is built with. Without
    // memory for it the construction fails (std::bad_alloc), as any other
    // allocation of the construction does: an application object never
    // runs with a name it was not given.
    static void SetName(gCString& name, const char16_t* text);

    // The resource file, the string table and the font file, loaded and
    // replaced together.
    struct SResourceFiles {
        gCFile resFile;
        gCResourceIndex resIndex;
        gCStringTable strings;
        gCFile fontFile;
        gCResourceIndex fontIndex;
    };

    uint32_t m_nMacType = 0x3F3F3F3F; // '????'
    int32_t m_fHeartbeat = 0;
    int32_t m_fClosing = 0;
    int32_t m_nStartupState = 0;
    int32_t m_fSysCursorWasVisible = 1;
    int32_t m_fVantorCursorWasVisible = 0;
    int32_t m_fSysCursorVisible = 1;
    int32_t m_fSysCursorTemp = 0;
    int32_t m_fCursorHeart = 1;
    gCString m_AppRoot;
    gCString m_ResFolder;
    gCString m_ResFileName;
    gCString m_StringFileName;
    gCString m_FontFileName;
    // Never null; replaced whole by a load that succeeded.
    std::unique_ptr<SResourceFiles> m_pResources;
    CResourcePool m_aResourcePools[kResourcePoolCount];
    CMessageHub m_MessageHub;
    std::unique_ptr<CPlatformAudioManager> m_pAudioManager;
    uint32_t m_nIdleTicks = 0;

    struct TabletDeleter {
        void operator()(CTabletServices* p) const;
    };
    std::unique_ptr<CTabletServices, TabletDeleter> m_pTabletServices;

    template <typename Start> error StartSession(int32_t& id, Start start);
    int32_t m_fNetworkingInitialised = 0;
    int32_t m_fNetworkingUsed = 0;
    // Owned; deleted by the heartbeat once closed, or at shut-down.
    gCArray<CTCPAppSocket*> m_aSessions;
    gCArray<CTCPAppSocket*> m_aListeners;
};

// The application folder (the folder of the running executable) as a colon
// path ending in ':'; empty when it cannot be found.
gCString gApplicationFolder();
