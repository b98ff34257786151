#include "devtools/rc/LoaderCheck.h"

#include <memory>

#include "FileIO/CResourcePool.h"
#include "FileIO/gCFile.h"
#include "devtools/rc/BlockKinds.h"
#include "foundation/AppServices.h"

class CLoaderCheck::Services : public CAppServices {
public:
    int32_t IsHeartbeatRunning() override { return 0; }
    void StartHeartbeat() override {}
    void StopHeartbeat() override {}
    int32_t IsSystemCursorVisible() override { return 1; }
    int32_t IsVantorCursorVisible() override { return 0; }
    void HideCursor() override {}
    void HideSystemCursor() override {}
    void ShowSystemCursor() override {}
    void ShowVantorCursor() override {}
    void ShowAlert(std::string_view, std::string_view text) override {
        m_Alerts.emplace_back(text);
    }
    void GetApplicationRoot(gCString& root) override { root = gCString(); }
    uint32_t GetMacType() override { return 0; }
    gCFile* GetResFile() override { return nullptr; }
    gCResourceIndex* GetResIndex() override { return nullptr; }
    gCFile* GetFontFile() override { return nullptr; }
    gCResourceIndex* GetFontIndex() override { return nullptr; }
    gCStringTable* GetStringTable() override { return nullptr; }
    CResourcePool* GetResourcePool(int32_t type) override {
        return type >= 0 && type < 6 ? &m_aPools[type] : nullptr;
    }
    gCResourceObject* FindResourceByID(int32_t type, int32_t id) override {
        return Find(type, [id](CResourcePool& p) { return p.FindByID(uint32_t(id)); });
    }
    gCResourceObject* FindResourceByName(int32_t type, const gCString& name) override {
        return Find(type, [&name](CResourcePool& p) { return p.FindByName(name); });
    }

    // The alerts so far as one text, then forgotten.
    std::string TakeAlerts() {
        std::string out;
        for (const std::string& a : m_Alerts) {
            out += (out.empty() ? "" : "; ") + a;
        }
        m_Alerts.clear();
        for (CResourcePool& p : m_aPools) {
            p.Empty();
        }
        return out;
    }

private:
    template <typename Lookup> gCResourceObject* Find(int32_t type, Lookup lookup) {
        const int32_t first = type == -1 ? 0 : type;
        const int32_t last = type == -1 ? 4 : type;
        for (int32_t t = first; t <= last && t >= 0 && t < 6; ++t) {
            if (gCResourceObject* found = lookup(m_aPools[t])) {
                return found;
            }
        }
        return nullptr;
    }

    CResourcePool m_aPools[6];
    std::vector<std::string> m_Alerts;
};

CLoaderCheck::CLoaderCheck() : m_pServices(std::make_unique<Services>()) {
    CAppServices::Register(m_pServices.get());
}

CLoaderCheck::~CLoaderCheck() {
    CAppServices::Register(nullptr);
}

bool CLoaderCheck::Load(gCFile& file, gCResourceIndex& index, const ResourceBlock& block,
                        std::string& why) {
    // By its tag, as the program finds it, whichever kind wrote it.
    const CBlockKind* kind = FindBlockKindByTag(block.tag);
    if (!kind) {
        return true;
    }
    const error e = kind->Load(block, file, index, why);
    const std::string alerts = m_pServices->TakeAlerts();
    if (e == eNoError) {
        return true;
    }
    if (why.empty()) {
        why = "the program's loader refuses it (error " + std::to_string(int(e)) + ")";
        if (!alerts.empty()) {
            why += ": " + alerts;
        }
    }
    return false;
}
