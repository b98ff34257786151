#pragma once
// The forms of the widget blends' row loops (imaging/BlendRows.h).

#include "imaging/BlendRows.h"
#include "imaging/detail/SimdBuild.h"

namespace blendrows {

extern const SRows kRowsPlain;
#if DAUBLIN_HAVE_SSE2
extern const SRows kRowsSse2;
extern const SRows kRowsAvx2;
#endif

} // namespace blendrows
