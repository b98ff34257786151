#pragma once
// The last check of a compiled block: the program's own loader for its tag,
// run by the kind of that tag, reads it (images decode, image lists find
// their members, gradients take their stops). Loader reports are gathered
// instead of shown.

#include <memory>
#include <string>
#include <vector>

#include "devtools/rc/SourceModel.h"
#include "foundation/Error.h"

class gCFile;
class gCResourceIndex;

// Stands in for the application while blocks are checked: pools for shared
// images, and alerts collected as text. Registered for its lifetime.
class CLoaderCheck {
public:
    CLoaderCheck();
    ~CLoaderCheck();
    CLoaderCheck(const CLoaderCheck&) = delete;
    CLoaderCheck& operator=(const CLoaderCheck&) = delete;

    // False with the reason when the block's loader refuses it, found
    // through the file's index as the program finds it. Blocks of tags
    // the program has no loader for here pass.
    bool Load(gCFile& file, gCResourceIndex& index, const ResourceBlock& block, std::string& why);

private:
    class Services;
    std::unique_ptr<Services> m_pServices;
    bool m_fStartedFonts = false;
    error m_nStarted = eNoError;
};
