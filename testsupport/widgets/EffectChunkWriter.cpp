#include "testsupport/widgets/EffectChunkWriter.h"

#include <cmath>

namespace {

SEffectKey Key(const char* name, EEffectKey kind, std::vector<SEffectField> defaults) {
    return {name, kind, std::move(defaults)};
}

// The keys every chunk ends or starts with.
SEffectKey Layer() {
    return Key("layer", EEffectKey::Layer, {FieldInt(0)});
}
SEffectKey Opacity(int64_t opacity) {
    return Key("opacity", EEffectKey::Opacity, {FieldInt(opacity)});
}
SEffectKey Place() {
    return Key("place", EEffectKey::Place, {FieldInt(0)});
}

// 'shad', 'glow' and (without clip) 'ctot': the defaults are each effect's
// own.
std::vector<SEffectKey> ShadowKeys(uint32_t colour, float radius, int64_t offset, int64_t opacity,
                                   bool clip) {
    std::vector<SEffectKey> keys{Layer(),
                                 Key("colour", EEffectKey::Colour, {FieldInt(colour)}),
                                 Key("radius", EEffectKey::Radius, {FieldReal(radius)}),
                                 Key("x", EEffectKey::Offset, {FieldInt(offset)}),
                                 Key("y", EEffectKey::Offset, {FieldInt(offset)}),
                                 Opacity(opacity)};
    if (clip) {
        keys.push_back(Key("clip", EEffectKey::Clip, {FieldInt(0)}));
    }
    keys.push_back(Place());
    return keys;
}

std::vector<SEffectKey> BorderKeys() {
    return {Layer(),
            Key("top", EEffectKey::Colour, {FieldInt(0xA0FFFFFF)}),
            Key("left", EEffectKey::Colour, {FieldInt(0xA0FFFFFF)}),
            Key("right", EEffectKey::Colour, {FieldInt(0x80000000)}),
            Key("bottom", EEffectKey::Colour, {FieldInt(0x80000000)}),
            Key("active", EEffectKey::Edges, {FieldInt(1), FieldInt(1), FieldInt(1), FieldInt(1)}),
            Key("style", EEffectKey::Style, {FieldInt(0)}),
            Key("width", EEffectKey::Width, {FieldReal(1.0f)}),
            Opacity(255),
            Place()};
}

// Opaque black to opaque white, linear, angle 0, centred, Normal: the
// effect's own ramp, to which the stops are added.
std::vector<SEffectKey> GradientKeys() {
    return {Layer(),
            Key("angle", EEffectKey::Angle, {FieldReal(0.0f)}),
            Key("blend", EEffectKey::Blend, {FieldInt(0)}),
            Key("type", EEffectKey::Type, {FieldInt(0)}),
            Key("centre", EEffectKey::Centre, {FieldReal(0.5f), FieldReal(0.5f)}),
            Key("stops", EEffectKey::Stops, {FieldInt(0)}),
            Opacity(255),
            Place()};
}

// The text in double quotes (appended: GCC 12 warns wrongly on a literal
// added in front of a std::string).
std::string Quoted(std::string_view text) {
    std::string out(1, '"');
    out.append(text);
    out.push_back('"');
    return out;
}

std::string Quoted(const SEffectKey& key) {
    return Quoted(std::string_view(key.name));
}

// "a, b or c"
std::string Alternatives(const std::vector<std::string>& names) {
    std::string out;
    for (size_t i = 0; i < names.size(); ++i) {
        out += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    return out;
}

bool IntIn(const SEffectField& f, int64_t low, int64_t high) {
    return !f.real && f.number >= low && f.number <= high;
}

bool RealFinite(const SEffectField& f) {
    return f.real && std::isfinite(f.value);
}

} // namespace

const std::vector<SEffectKey>& EffectChunkKeys(std::string_view code) {
    static const std::vector<SEffectKey> kShadow = ShadowKeys(0xFF000000u, 7.0f, 8, 200, true);
    static const std::vector<SEffectKey> kGlow = ShadowKeys(0xFFFFFF00u, 10.0f, 0, 100, true);
    static const std::vector<SEffectKey> kCutout = ShadowKeys(0xFF000000u, 1.0f, 1, 255, false);
    static const std::vector<SEffectKey> kBorder = BorderKeys();
    static const std::vector<SEffectKey> kGradient = GradientKeys();
    static const std::vector<SEffectKey> kNone;
    return code == "shad"   ? kShadow
           : code == "glow" ? kGlow
           : code == "ctot" ? kCutout
           : code == "brde" ? kBorder
           : code == "grdf" ? kGradient
                            : kNone;
}

const std::vector<std::string>& EffectKeyNames(EEffectKey kind) {
    static const std::vector<std::string> kClip{"none", "widget", "outside"};
    static const std::vector<std::string> kPlace{"under", "over"};
    static const std::vector<std::string> kEdges{"top", "left", "right", "bottom"};
    static const std::vector<std::string> kBlend{"normal", "multiply", "screen",   "overlay",
                                                 "dodge",  "burn",     "softlight"};
    static const std::vector<std::string> kType{"linear", "radial", "angular"};
    static const std::vector<std::string> kNone;
    switch (kind) {
    case EEffectKey::Clip:
        return kClip;
    case EEffectKey::Place:
        return kPlace;
    case EEffectKey::Edges:
        return kEdges;
    case EEffectKey::Blend:
        return kBlend;
    case EEffectKey::Type:
        return kType;
    default:
        return kNone;
    }
}

size_t EffectKeyFieldCount(const SEffectKey& key, const std::vector<SEffectField>& fields,
                           size_t at) {
    size_t count = 1;
    if (key.kind == EEffectKey::Edges) {
        count = 4;
    } else if (key.kind == EEffectKey::Centre) {
        count = 2;
    } else if (key.kind == EEffectKey::Stops) {
        if (at >= fields.size() || fields[at].real || fields[at].number < 0 ||
            fields[at].number > int64_t(fields.size())) {
            return 0;
        }
        count = 1 + 2 * size_t(fields[at].number);
    }
    return at + count <= fields.size() ? count : 0;
}

std::string CheckedEffectKey(const SEffectKey& key, const std::vector<SEffectField>& f) {
    const std::string name = Quoted(key);
    const std::vector<std::string>& names = EffectKeyNames(key.kind);
    switch (key.kind) {
    case EEffectKey::Layer:
        return f.size() == 1 && IntIn(f[0], 0, 2) ? "" : name + " is 0, 1 or 2";
    case EEffectKey::Colour:
        return f.size() == 1 && IntIn(f[0], INT32_MIN, 0xFFFFFFFFLL)
                   ? ""
                   : name + " takes a colour, 0xAARRGGBB";
    case EEffectKey::Radius:
        return f.size() == 1 && RealFinite(f[0]) && f[0].value >= 0.0f && f[0].value <= 1000.0f
                   ? ""
                   : name + " is a number from 0 to 1000";
    case EEffectKey::Offset:
        return f.size() == 1 && IntIn(f[0], -32767, 32767) ? "" : name + " is -32767 to 32767";
    case EEffectKey::Opacity:
        return f.size() == 1 && IntIn(f[0], 0, 255) ? "" : name + " is 0 to 255";
    case EEffectKey::Style:
        return f.size() == 1 && IntIn(f[0], 0, 4) ? "" : name + " is 0 to 4";
    case EEffectKey::Clip:
    case EEffectKey::Place:
    case EEffectKey::Blend:
    case EEffectKey::Type:
        return f.size() == 1 && IntIn(f[0], 0, int64_t(names.size()) - 1)
                   ? ""
                   : name + " is " + Alternatives(names);
    case EEffectKey::Edges:
        for (size_t i = 0; i < 4; ++i) {
            if (f.size() != 4 || !IntIn(f[i], 0, 1)) {
                return name + " is a list of " + Alternatives(names);
            }
        }
        return {};
    case EEffectKey::Width:
        return f.size() == 1 && RealFinite(f[0]) && f[0].value >= 0.0f
                   ? ""
                   : name + " is a finite number, 0 or more";
    case EEffectKey::Angle:
        return f.size() == 1 && RealFinite(f[0]) ? "" : name + " is a finite number";
    case EEffectKey::Centre:
        return f.size() == 2 && RealFinite(f[0]) && RealFinite(f[1])
                   ? ""
                   : name + " is [x, y], two finite numbers";
    case EEffectKey::Stops:
        if (f.empty() || EffectKeyFieldCount(key, f, 0) != f.size()) {
            return name + " is a list of {colour, position}";
        }
        for (size_t i = 1; i + 1 < f.size(); i += 2) {
            if (!IntIn(f[i], INT32_MIN, 0xFFFFFFFFLL)) {
                return "a stop's colour is 0xAARRGGBB";
            }
            if (!RealFinite(f[i + 1]) || f[i + 1].value < 0.0f || f[i + 1].value > 1.0f) {
                return "a stop's position is a number from 0 to 1";
            }
        }
        return {};
    }
    return {};
}

std::string CheckedEffectFields(std::string_view code, const std::vector<SEffectField>& fields) {
    const std::vector<SEffectKey>& keys = EffectChunkKeys(code);
    if (keys.empty()) {
        return Quoted(code) + " is taken by no widget block";
    }
    size_t at = 0;
    for (const SEffectKey& key : keys) {
        const size_t count = EffectKeyFieldCount(key, fields, at);
        if (count == 0) {
            return Quoted(code) + " is cut short at " + Quoted(key);
        }
        const std::string why =
            CheckedEffectKey(key, std::vector<SEffectField>(fields.begin() + int64_t(at),
                                                            fields.begin() + int64_t(at + count)));
        if (!why.empty()) {
            return why;
        }
        at += count;
    }
    return at == fields.size() ? "" : Quoted(code) + " has fields left over";
}
