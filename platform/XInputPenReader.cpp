#include "platform/detail/XInputPenReader.h"

#include "platform/detail/XInputPenEvent.h"
#include <SDL_syswm.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Collects X errors while it lives, so that a device that vanished between
// the scan and the selection costs nothing but the selection.
class CXErrorTrap {
public:
    explicit CXErrorTrap(Display* display) : m_pDisplay(display) {
        s_nErrors = 0;
        m_pPrevious = XSetErrorHandler(&Handler);
    }
    ~CXErrorTrap() {
        XSync(m_pDisplay, False);
        XSetErrorHandler(m_pPrevious);
    }
    CXErrorTrap(const CXErrorTrap&) = delete;
    CXErrorTrap& operator=(const CXErrorTrap&) = delete;

private:
    static int Handler(Display*, XErrorEvent*) {
        ++s_nErrors;
        return 0;
    }
    static inline int s_nErrors = 0;
    Display* m_pDisplay;
    XErrorHandler m_pPrevious;
};

// Owners of what Xlib and XInput hand out to be freed.
struct XFreeData {
    void operator()(void* data) const { XFree(data); }
};
struct XIFreeDevices {
    void operator()(XIDeviceInfo* info) const { XIFreeDeviceInfo(info); }
};

std::vector<CPenDevice> ScanPens(Display* display) {
    std::vector<CPenDevice> pens;
    int count = 0;
    const std::unique_ptr<XIDeviceInfo, XIFreeDevices> info(
        XIQueryDevice(display, XIAllDevices, &count));
    if (!info) {
        return pens;
    }
    for (int i = 0; i < count; ++i) {
        const XIDeviceInfo& d = info.get()[i];
        std::vector<CValuatorInfo> valuators;
        for (int c = 0; c < d.num_classes; ++c) {
            if (d.classes[c]->type != XIValuatorClass) {
                continue;
            }
            auto* v = reinterpret_cast<XIValuatorClassInfo*>(d.classes[c]);
            CValuatorInfo vi;
            if (v->label != None) {
                if (const std::unique_ptr<char, XFreeData> name{XGetAtomName(display, v->label)}) {
                    vi.label = name.get();
                }
            }
            vi.number = v->number;
            vi.min = v->min;
            vi.max = v->max;
            valuators.push_back(vi);
        }
        CPenDevice pen;
        if (d.enabled && PenDeviceFromInfo(d.deviceid, d.use == XISlavePointer,
                                           d.name ? d.name : "", valuators, pen)) {
            pens.push_back(pen);
        }
    }
    return pens;
}

} // namespace

std::unique_ptr<CXInputPenReader> CXInputPenReader::Create(SDL_Window* window) {
    if (!window) {
        return nullptr;
    }
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (!SDL_GetWindowWMInfo(window, &wm) || wm.subsystem != SDL_SYSWM_X11) {
        return nullptr;
    }
    Display* display = wm.info.x11.display;
    int opcode = 0, firstEvent = 0, firstError = 0;
    if (!display ||
        !XQueryExtension(display, "XInputExtension", &opcode, &firstEvent, &firstError)) {
        return nullptr;
    }
    // Ask for the newest version: the server refuses a client that asks for
    // less than it asked for before, and SDL asks first.
    int major = 2, minor = 4;
    Status status;
    {
        CXErrorTrap trap(display);
        status = XIQueryVersion(display, &major, &minor);
    }
    if (status != Success || major < 2) {
        return nullptr;
    }
    std::unique_ptr<CXInputPenReader> reader(
        new CXInputPenReader(display, static_cast<unsigned long>(wm.info.x11.window), opcode));
    reader->m_nPrevSysWMState = SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    SDL_AddEventWatch(&Watch, reader.get());
    reader->SelectHierarchy();
    reader->Rescan();
    return reader;
}

CXInputPenReader::CXInputPenReader(void* display, unsigned long window, int opcode)
    : m_pDisplay(display), m_Window(window), m_nOpcode(opcode) {}

CXInputPenReader::~CXInputPenReader() {
    // No X11 calls here: the display may be closed by now. The selections
    // end with the window.
    SDL_DelEventWatch(&Watch, this);
    if (SDL_WasInit(SDL_INIT_EVENTS)) {
        SDL_EventState(SDL_SYSWMEVENT, m_nPrevSysWMState);
    }
}

void CXInputPenReader::SelectHierarchy() {
    // Device changes are reported only to a selection for all devices on the
    // root window, which SDL may hold too: add to what is selected there.
    auto* display = static_cast<Display*>(m_pDisplay);
    const Window root = DefaultRootWindow(display);
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    CXErrorTrap trap(display);
    int count = 0;
    if (const std::unique_ptr<XIEventMask, XFreeData> masks{
            XIGetSelectedEvents(display, root, &count)}) {
        for (int i = 0; i < count; ++i) {
            const XIEventMask& m = masks.get()[i];
            if (m.deviceid == XIAllDevices) {
                std::copy_n(m.mask, std::min<int>(m.mask_len, sizeof bits), bits);
            }
        }
    }
    XISetMask(bits, XI_HierarchyChanged);
    XIEventMask mask{XIAllDevices, int(sizeof bits), bits};
    XISelectEvents(display, root, &mask, 1);
}

void CXInputPenReader::Rescan() {
    auto* display = static_cast<Display*>(m_pDisplay);
    CXErrorTrap trap(display);
    std::vector<CPenDevice> pens = ScanPens(display);

    unsigned char on[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(on, XI_Motion);
    XISetMask(on, XI_ButtonPress);
    XISetMask(on, XI_ButtonRelease);
    std::vector<XIEventMask> masks;
    std::vector<int32_t> selected;
    for (const CPenDevice& pen : pens) {
        masks.push_back({pen.id, int(sizeof on), on});
        selected.push_back(pen.id);
    }
    // Devices that are no longer pens lose the selection.
    for (int32_t id : m_aSelected) {
        if (std::find(selected.begin(), selected.end(), id) == selected.end()) {
            masks.push_back({id, 0, nullptr});
        }
    }
    if (!masks.empty()) {
        XISelectEvents(display, static_cast<Window>(m_Window), masks.data(), int(masks.size()));
    }
    m_aSelected = std::move(selected);
    m_Tracker.SetDevices(std::move(pens));
}

CMouseExtras CXInputPenReader::TakeExtras(const SDL_Event& e) {
    switch (e.type) {
    case SDL_MOUSEMOTION:
        return m_Tracker.TakeExtras(e.type, e.motion.timestamp, e.motion.x, e.motion.y);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return m_Tracker.TakeExtras(e.type, e.button.timestamp, e.button.x, e.button.y);
    default:
        return CMouseExtras();
    }
}

int SDLCALL CXInputPenReader::Watch(void* self, SDL_Event* e) {
    auto* reader = static_cast<CXInputPenReader*>(self);
    switch (e->type) {
    case SDL_SYSWMEVENT:
        if (e->syswm.msg && e->syswm.msg->subsystem == SDL_SYSWM_X11) {
            reader->OnXEvent(&e->syswm.msg->msg.x11.event);
        }
        break;
    case SDL_MOUSEMOTION:
        reader->m_Tracker.MousePassing(e->type, e->motion.timestamp, e->motion.x, e->motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        reader->m_Tracker.MousePassing(e->type, e->button.timestamp, e->button.x, e->button.y);
        break;
    default:
        break;
    }
    return 0;
}

void CXInputPenReader::OnXEvent(void* xevent) {
    auto* xe = static_cast<XEvent*>(xevent);
    if (xe->type == ButtonPress || xe->type == ButtonRelease) {
        m_Tracker.ButtonEvent(uint32_t(xe->xbutton.time));
        return;
    }
    if (xe->type != GenericEvent || xe->xcookie.extension != m_nOpcode || !xe->xcookie.data) {
        return;
    }
    if (xe->xcookie.evtype == XI_HierarchyChanged) {
        Rescan();
        return;
    }
    CPenEvent pe;
    if (PenEventFromXI2(xe->xcookie.evtype, *static_cast<const XIDeviceEvent*>(xe->xcookie.data),
                        m_Tracker.Devices(), pe)) {
        m_Tracker.PenEvent(pe);
    }
}
