#pragma once
// Builds a widget effect from its chunk in a widget block and attaches it
// to the widget. Each effect class adds its code here when it is built;
// until then a code is not known and its chunk fails the widget's load.

#include <cstdint>

class CWidget;
class gCMemFile;

class CWidgetEffectConstructor {
public:
    // Reads the effect's fields for the chunk code from data and attaches
    // the effect to widget: non-zero when it did, 0 for a code it does not
    // know or an effect that could not be read or attached.
    static int32_t ConstructEffect(int32_t code, CWidget* widget, gCMemFile* data);
};
