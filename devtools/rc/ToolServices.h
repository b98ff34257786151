#pragma once
// The application services of a command-line tool (the resource compiler,
// the sample-sheet writer): no heartbeat, no drawn cursor, no input, the
// six resource pools of the real application, alerts kept for the tool to
// report, and a font file with its index when the tool opens one.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FileIO/CResourcePool.h"
#include "foundation/AppServices.h"
#include "foundation/gCString.h"

class CToolServices : public CAppServices {
public:
    struct Alert {
        std::string headline;
        std::string text;
    };

    int32_t IsHeartbeatRunning() override { return 0; }
    void StartHeartbeat() override {}
    void StopHeartbeat() override {}
    int32_t IsSystemCursorVisible() override { return 1; }
    int32_t IsVantorCursorVisible() override { return 0; }
    void HideCursor() override {}
    void HideSystemCursor() override {}
    void ShowSystemCursor() override {}
    void ShowVantorCursor() override {}
    void ShowAlert(std::string_view headline, std::string_view text) override {
        m_Alerts.push_back({std::string(headline), std::string(text)});
    }
    void GetApplicationRoot(gCString& root) override { root = gCString(); }
    uint32_t GetMacType() override { return 0; }
    gCFile* GetResFile() override { return m_pResFile; }
    gCResourceIndex* GetResIndex() override { return m_pResIndex; }
    gCFile* GetFontFile() override { return m_pFontFile; }
    gCResourceIndex* GetFontIndex() override { return m_pFontIndex; }
    gCStringTable* GetStringTable() override { return nullptr; }
    // Pool type 0 to 5 answers itself; -1 searches pools 0 to 4.
    CResourcePool* GetResourcePool(int32_t type) override {
        return type >= 0 && type < 6 ? &m_aPools[type] : nullptr;
    }
    gCResourceObject* FindResourceByID(int32_t type, int32_t id) override {
        return Find(type, [id](CResourcePool& p) { return p.FindByID(uint32_t(id)); });
    }
    gCResourceObject* FindResourceByName(int32_t type, const gCString& name) override {
        return Find(type, [&name](CResourcePool& p) { return p.FindByName(name); });
    }

    // Deletes every pooled object.
    void EmptyPools() {
        for (CResourcePool& p : m_aPools) {
            p.Empty();
        }
    }

    std::vector<Alert> m_Alerts;
    // The file standing in as the application's resource file, when any.
    gCFile* m_pResFile = nullptr;
    gCResourceIndex* m_pResIndex = nullptr;
    gCFile* m_pFontFile = nullptr;
    gCResourceIndex* m_pFontIndex = nullptr;

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
};
