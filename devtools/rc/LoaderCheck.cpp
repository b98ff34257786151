#include "devtools/rc/LoaderCheck.h"

#include <memory>

#include "FileIO/gCFile.h"
#include "devtools/rc/BlockKinds.h"
#include "devtools/rc/ToolServices.h"

class CLoaderCheck::Services : public CToolServices {
public:
    // The alerts so far as one text, then forgotten, with the pools
    // emptied.
    std::string TakeAlerts() {
        std::string out;
        for (const Alert& a : m_Alerts) {
            out += (out.empty() ? "" : "; ") + a.text;
        }
        m_Alerts.clear();
        EmptyPools();
        return out;
    }
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
