#pragma once
// The effect chunks of widget blocks ('shad', 'glow', 'ctot', 'brde',
// 'grdf') by their keys, as sources write them:
//
//   - shad: {layer: 0, colour: 0xFF000000, radius: 12, x: 0, y: 4,
//            opacity: 102, clip: none, place: under}
//   - brde: {layer: 0, top: 0xA0FFFFFF, left: 0xA0FFFFFF, right: 0x80000000,
//            bottom: 0x80000000, active: [top, left], style: 0, width: 1,
//            opacity: 255, place: over}
//   - grdf: {layer: 0, angle: 0.25, blend: multiply, type: linear,
//            centre: [0.5, 0.5], stops: [{colour: 0xFFE39B45, position: 0.5}],
//            opacity: 255, place: over}
//
// 'glow' takes the keys of 'shad', 'ctot' those but clip. Each key stands
// for one or more payload fields in order; a key left out is written as the
// effect's default. 'txtr' is taken by no widget block.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "testsupport/widgets/WidgetBlockWriter.h"

// What a key holds and how it is written.
enum class EEffectKey {
    Layer,   // the place index, 0 to 2: Int32
    Colour,  // 0xAARRGGBB: Int32
    Radius,  // 0 to 1000: Real
    Offset,  // -32767 to 32767: Int32
    Opacity, // 0 to 255: Int32
    Clip,    // a name of EffectKeyNames: Int32
    Place,   // under or over: Int32
    Edges,   // a list of edge names: four Int32 flags, top, left, right, bottom
    Style,   // 0 to 4: Int32
    Width,   // finite, 0 or more: Real
    Angle,   // finite: Real
    Blend,   // a name: Int32
    Type,    // a name: Int32
    Centre,  // [x, y], both finite: two Reals
    Stops,   // [{colour, position 0 to 1}...]: Int32 count, then (Int32, Real) each
};

struct SEffectKey {
    const char* name;
    EEffectKey kind;
    std::vector<SEffectField> defaults; // what a missing key writes
};

// The keys of an effect chunk in payload order; none for other codes.
const std::vector<SEffectKey>& EffectChunkKeys(std::string_view code);
// The names of a key that takes names, by the value each writes: clip none,
// widget, outside; place under, over; blend normal to softlight; type
// linear, radial, angular; edges top, left, right, bottom (the flag's
// order). None for other kinds.
const std::vector<std::string>& EffectKeyNames(EEffectKey kind);
// The fields one key's value writes (an Edges key: the names given, a Stops
// key: the stops); why they are refused, or empty.
std::string CheckedEffectKey(const SEffectKey& key, const std::vector<SEffectField>& fields);
// Why the fields of a whole chunk are refused (a key's reason, a field of
// the wrong form, fields missing or left over); empty when taken.
std::string CheckedEffectFields(std::string_view code, const std::vector<SEffectField>& fields);
// The number of fields the key takes at fields[at] (a Stops key reads its
// count there); 0 when they are not all there.
size_t EffectKeyFieldCount(const SEffectKey& key, const std::vector<SEffectField>& fields,
                           size_t at);
