// The backbone's printing, page set-up and mail ids.

#include "foundation/Alert.h"
#include "foundation/Input.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/detail/TableText.h"

namespace {

// The explanation shown when mail is unavailable.
constexpr uint32_t kMailUnavailableText = 0xB2D05E0B;

} // namespace

int32_t CSMKBackbone::PrintAndMail(uint32_t id, const void* sender, int64_t value, int32_t set) {
    CImage* composite = m_pCanvas ? m_pCanvas->Composite() : nullptr;
    switch (id) {
    case eCmdPrint:
        if (composite) {
            if (const error e =
                    m_PrintManager.Print(m_ProjectInfo.m_Name, composite, int32_t(value));
                e != eNoError) {
                return e;
            }
        }
        break;
    case eCmdPageSetup:
        if (const error e = m_PrintManager.SetPrintSettings(); e != eNoError) {
            return e;
        }
        break;
    case eCmdMailInit: {
        const error e = m_MailManager.Initialise();
        return e == eHandled ? int32_t(eNoError) : int32_t(e);
    }
    case eCmdSendByMail:
        return SendByMail(sender, value, set);
    case eCmdMailAvailable:
        if (!set) {
            *ChannelPointer<int32_t>(value) = m_MailManager.MAPIAvailable();
        }
        break;
    default:
        break;
    }
    return PassDown(id, sender, value, set);
}

int32_t CSMKBackbone::SendByMail(const void* sender, int64_t value, int32_t set) {
    int32_t available = 0;
    const auto ask = [&] {
        if (GetBackboneData(eCmdMailAvailable, this, ChannelValueOf(&available)) != 0) {
            available = 0;
        }
    };
    ask();
    if (!available && SetBackboneData(eCmdMailInit, this, 0) == 0) {
        ask();
    }
    if (!available) {
        gShowAlert("Message", TableText(kMailUnavailableText));
        return 0;
    }
    CImage* composite = m_pCanvas ? m_pCanvas->Composite() : nullptr;
    if (!composite) {
        return PassDown(eCmdSendByMail, sender, value, set);
    }
    gCString name;
    if (name.CopyStringFromBuffer(m_ProjectInfo.m_Name.GetBuffer(),
                                  m_ProjectInfo.m_Name.GetLength()) != eNoError) {
        return eOutOfMemory;
    }
    const error sent = m_MailManager.SendPicture(name, composite);
    // The mail program took the pen's focus.
    if (CTabletSource* tablet = TabletServices()) {
        (void)tablet->SetupServices(1); // re-arming has nothing to report
    }
    if (sent != eNoError) {
        return sent;
    }
    return PassDown(eCmdSendByMail, sender, value, set);
}
