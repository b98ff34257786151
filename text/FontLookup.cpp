#include "text/FontLookup.h"

namespace {

CFontLookup* s_pInstalled = nullptr;

} // namespace

CFontLookup& CFontLookup::Get() {
    return s_pInstalled ? *s_pInstalled : FontconfigLookup();
}

CFontLookup* CFontLookup::Install(CFontLookup* lookup) {
    CFontLookup* previous = s_pInstalled;
    s_pInstalled = lookup;
    return previous;
}
