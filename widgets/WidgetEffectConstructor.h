#pragma once
// Builds a widget effect from its chunk in a widget block and attaches it
// to the widget: 'shad' a shadow, 'glow' a glow, 'ctot' a cut-out, 'brde' a
// border, 'grdf' a gradient, 'txtr' a texture (no widget block takes
// 'txtr'; code may build one here).

#include <cstdint>

class CWidget;
class CWidgetEffectBase;
class gCMemFile;

class CWidgetEffectConstructor {
public:
    // Reads the chunk's fields from data (none without data: every field at
    // the effect's default, layer 0 under the widget), applying each as it
    // is read, then adds the effect to widget: under it for overlay 0, over
    // it otherwise, at the layer's place. Without a widget the effect is
    // returned detached and the caller owns it. Every failure is reported
    // (an unknown code, no memory, a short read with the field's text, a
    // refused add) and gives null; an effect the widget already holds after
    // a failed add is removed through the widget.
    static CWidgetEffectBase* ConstructEffect(int32_t code, CWidget* widget, gCMemFile* data);
};
