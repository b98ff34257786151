#include "devtools/rc/LoaderCheck.h"

#include <memory>

#include "FileIO/gCFile.h"
#include "devtools/rc/BlockKinds.h"
#include "devtools/rc/ToolServices.h"
#include "text/Font.h"
#include "text/TxWidget.h"

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
    // As the program's start-up: the font manager, and the widget classes
    // it adds to the toolkit's.
    m_fStartedFonts = !gCFont::Manager();
    m_nStarted = gCFont::InitializeManager();
    if (m_nStarted == eNoError) {
        m_nStarted = RegisterTextWidgets();
    }
}

CLoaderCheck::~CLoaderCheck() {
    CAppServices::Register(nullptr);
    m_pServices->EmptyPools(); // the pooled fonts go before their manager
    if (m_fStartedFonts) {
        gCFont::ShutDownManager();
    }
}

bool CLoaderCheck::Load(gCFile& file, gCResourceIndex& index, const ResourceBlock& block,
                        std::string& why) {
    // By its tag, as the program finds it, whichever kind wrote it.
    const CBlockKind* kind = FindBlockKindByTag(block.tag);
    if (!kind) {
        return true;
    }
    if (m_nStarted != eNoError) {
        why = "the font manager or the text widgets cannot start (error " +
              std::to_string(int(m_nStarted)) + ")";
        return false;
    }
    // The file being checked stands in as the application's resource and
    // font file.
    m_pServices->m_pResFile = m_pServices->m_pFontFile = &file;
    m_pServices->m_pResIndex = m_pServices->m_pFontIndex = &index;
    const error e = kind->Load(block, file, index, why);
    m_pServices->m_pResFile = m_pServices->m_pFontFile = nullptr;
    m_pServices->m_pResIndex = m_pServices->m_pFontIndex = nullptr;
    const std::string alerts = m_pServices->TakeAlerts();
    if (e == eNoError && alerts.empty()) {
        return true;
    }
    if (e == eNoError) {
        // Any alert fails the block, even from a load that went through.
        why = "the program's loader shows: " + alerts;
        return false;
    }
    if (why.empty()) {
        why = "the program's loader refuses it (error " + std::to_string(int(e)) + ")";
        if (!alerts.empty()) {
            why += ": " + alerts;
        }
    }
    return false;
}
