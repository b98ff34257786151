#pragma once
// What the canvas's input files share: reading the tablet, the way from the
// canvas widget to its backdrop, and the checks on the display scale and on
// pen positions.

#include <cstdint>

#include "foundation/Geometry.h"

class CBackdrop;
class CSMKBackbone;
class CTabletSource;
class CWidget;
struct CTabletPoint;

namespace CanvasInput {

// Pen positions are held to +-kPenLimit as they become pixels.
inline constexpr int32_t kPenLimit = 1 << 30;

// The backbone's tablet service, or null.
CTabletSource* Tablet(CSMKBackbone* backbone);
// A sample: 0 for a pen sample (backdrop coordinates), non-zero for the
// mouse, which is all there is without a tablet service.
int32_t ReadPoint(CTabletSource* tablet, CTabletPoint& sample);

// The widget's root, or the widget itself without a parent; null for null.
CWidget* Root(CWidget* widget);
// The root when it is a backdrop, else null.
CBackdrop* BackdropOf(CWidget* widget);
// The desktop's (0, 0) in backdrop coordinates: added to a cursor position
// it gives the backdrop point. (0, 0) without a window.
gCPoint DesktopOffset(CWidget* widget);
// Whether canvas points can be had at this display scale: positive and
// finite.
bool ScaleUsable(float scale);

} // namespace CanvasInput
