#include "devtools/rc/kinds/EffectChunkSource.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "FileIO/gCFile.h"
#include "devtools/rc/SourceFile.h"
#include "testsupport/widgets/EffectChunkWriter.h"

namespace {

bool ReadsAsInt(EEffectKey kind) {
    return kind == EEffectKey::Layer || kind == EEffectKey::Colour || kind == EEffectKey::Offset ||
           kind == EEffectKey::Opacity || kind == EEffectKey::Style;
}

bool ReadsAsName(EEffectKey kind) {
    return kind == EEffectKey::Clip || kind == EEffectKey::Place || kind == EEffectKey::Blend ||
           kind == EEffectKey::Type;
}

// A number written whole ("12", "-0.5", "1e3"); false for anything else.
bool RealText(const YAML::Node& node, float& value) {
    const std::string text = node.IsScalar() ? node.Scalar() : "";
    char* end = nullptr;
    value = text.empty() ? 0.0f : std::strtof(text.c_str(), &end);
    return !text.empty() && *end == '\0';
}

// The key's refusal for a value it can never take: its own wording of
// what it takes.
std::string Takes(const SEffectKey& key) {
    std::vector<SEffectField> none;
    return CheckedEffectKey(key, none);
}

// The fields of one key's value, or a report at the value and false.
bool ReadKey(CSourceFile& source, const YAML::Node& map, const SEffectKey& key,
             std::vector<SEffectField>& fields) {
    const YAML::Node value = map[key.name];
    const std::vector<std::string>& names = EffectKeyNames(key.kind);
    if (ReadsAsInt(key.kind)) {
        int64_t number = 0;
        if (!source.Integer(map, key.name, INT32_MIN, 0xFFFFFFFFLL, number)) {
            return false;
        }
        fields.push_back(FieldInt(number));
    } else if (ReadsAsName(key.kind)) {
        const auto found =
            value.IsScalar() ? std::find(names.begin(), names.end(), value.Scalar()) : names.end();
        if (found == names.end()) {
            source.Error(value, Takes(key));
            return false;
        }
        fields.push_back(FieldInt(found - names.begin()));
    } else if (key.kind == EEffectKey::Edges) {
        if (!value.IsSequence()) {
            source.Error(value, Takes(key));
            return false;
        }
        std::vector<SEffectField> flags(names.size(), FieldInt(0));
        for (const YAML::Node& edge : value) {
            const auto found = edge.IsScalar()
                                   ? std::find(names.begin(), names.end(), edge.Scalar())
                                   : names.end();
            if (found == names.end() || flags[size_t(found - names.begin())].number == 1) {
                source.Error(edge, Takes(key) + ", each edge once");
                return false;
            }
            flags[size_t(found - names.begin())] = FieldInt(1);
        }
        fields.insert(fields.end(), flags.begin(), flags.end());
    } else if (key.kind == EEffectKey::Centre) {
        float x = 0.0f;
        float y = 0.0f;
        if (!value.IsSequence() || value.size() != 2 || !RealText(value[0], x) ||
            !RealText(value[1], y)) {
            source.Error(value, Takes(key));
            return false;
        }
        fields.push_back(FieldReal(x));
        fields.push_back(FieldReal(y));
    } else if (key.kind == EEffectKey::Stops) {
        if (!value.IsSequence()) {
            source.Error(value, Takes(key));
            return false;
        }
        fields.push_back(FieldInt(int64_t(value.size())));
        for (const YAML::Node& stop : value) {
            int64_t colour = 0;
            float position = 0.0f;
            if (!source.KnownKeys(stop, {"colour", "position"}) ||
                !source.Integer(stop, "colour", INT32_MIN, 0xFFFFFFFFLL, colour)) {
                return false;
            }
            if (!stop["position"] || !RealText(stop["position"], position)) {
                source.Error(stop["position"] ? stop["position"] : stop,
                             "a stop's position is a number from 0 to 1");
                return false;
            }
            fields.push_back(FieldInt(colour));
            fields.push_back(FieldReal(position));
            const std::string why =
                CheckedEffectKey(key, {FieldInt(1), fields[fields.size() - 2], fields.back()});
            if (!why.empty()) {
                source.Error(stop, why);
                return false;
            }
        }
        return true;
    } else {
        float real = 0.0f;
        if (!RealText(value, real)) {
            source.Error(value, Takes(key));
            return false;
        }
        fields.push_back(FieldReal(real));
    }
    return true;
}

std::string RealForm(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(value));
    return text;
}

std::string ColourForm(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", uint32_t(value));
    return text;
}

// Reads one key's fields from the file.
bool ReadFields(gCFile& file, int64_t end, const SEffectKey& key,
                std::vector<SEffectField>& fields) {
    const auto readInt = [&] {
        int32_t v = 0;
        const bool read = file.ReadInt32(v) == eNoError;
        fields.push_back(FieldInt(v));
        return read;
    };
    const auto readReal = [&] {
        float v = 0.0f;
        const bool read = file.ReadReal(v) == eNoError;
        fields.push_back(FieldReal(v));
        return read;
    };
    switch (key.kind) {
    case EEffectKey::Radius:
    case EEffectKey::Width:
    case EEffectKey::Angle:
        return readReal();
    case EEffectKey::Centre:
        return readReal() && readReal();
    case EEffectKey::Edges:
        return readInt() && readInt() && readInt() && readInt();
    case EEffectKey::Stops: {
        if (!readInt() || fields[0].number < 0 || fields[0].number * 8 > end - file.GetFilePos()) {
            return false;
        }
        for (int64_t i = 0; i < fields[0].number; ++i) {
            if (!readInt() || !readReal()) {
                return false;
            }
        }
        return true;
    }
    default:
        return readInt();
    }
}

// "[" list "]" (appended: GCC 12 warns wrongly on a literal added in front
// of a std::string).
std::string Listed(const std::string& list) {
    std::string out(1, '[');
    out += list;
    out.push_back(']');
    return out;
}

// One key's value as the sources write it.
std::string ValueForm(const SEffectKey& key, const std::vector<SEffectField>& f) {
    const std::vector<std::string>& names = EffectKeyNames(key.kind);
    switch (key.kind) {
    case EEffectKey::Colour:
        return ColourForm(int32_t(f[0].number));
    case EEffectKey::Radius:
    case EEffectKey::Width:
    case EEffectKey::Angle:
        return RealForm(f[0].value);
    case EEffectKey::Centre:
        return Listed(RealForm(f[0].value) + ", " + RealForm(f[1].value));
    case EEffectKey::Edges: {
        std::string list;
        for (size_t i = 0; i < names.size(); ++i) {
            if (f[i].number == 1) {
                list += (list.empty() ? "" : ", ") + names[i];
            }
        }
        return Listed(list);
    }
    case EEffectKey::Stops: {
        std::string list;
        for (size_t i = 1; i + 1 < f.size(); i += 2) {
            list += std::string(i == 1 ? "" : ", ") +
                    "{colour: " + ColourForm(int32_t(f[i].number)) +
                    ", position: " + RealForm(f[i + 1].value) + "}";
        }
        return Listed(list);
    }
    default:
        return ReadsAsName(key.kind) ? names[size_t(f[0].number)] : std::to_string(f[0].number);
    }
}

} // namespace

bool ReadEffectChunk(CSourceFile& source, const std::string& code, const YAML::Node& value,
                     SWidgetChunk& chunk) {
    const std::vector<SEffectKey>& keys = EffectChunkKeys(code);
    std::vector<const char*> names;
    for (const SEffectKey& key : keys) {
        names.push_back(key.name);
    }
    if (!value.IsMap()) {
        source.Error(value, "\"" + code + "\" takes a map of its keys ({} for the defaults)");
        return false;
    }
    if (!source.KnownKeys(value, names)) {
        return false;
    }
    chunk.value = EChunkValue::Effect;
    chunk.fields.clear();
    for (const SEffectKey& key : keys) {
        if (!value[key.name]) {
            chunk.fields.insert(chunk.fields.end(), key.defaults.begin(), key.defaults.end());
            continue;
        }
        std::vector<SEffectField> fields;
        if (!ReadKey(source, value, key, fields)) {
            return false;
        }
        const std::string why = CheckedEffectKey(key, fields);
        if (!why.empty()) {
            source.Error(value[key.name], why);
            return false;
        }
        chunk.fields.insert(chunk.fields.end(), fields.begin(), fields.end());
    }
    return true;
}

bool DumpEffectChunk(const std::string& code, gCFile& file, int64_t end, std::ostream& out) {
    const std::vector<SEffectKey>& keys = EffectChunkKeys(code);
    if (keys.empty()) {
        return false;
    }
    std::string map;
    for (const SEffectKey& key : keys) {
        std::vector<SEffectField> fields;
        if (!ReadFields(file, end, key, fields) || file.GetFilePos() > end ||
            !CheckedEffectKey(key, fields).empty()) {
            return false;
        }
        map += (map.empty() ? "{" : ", ") + std::string(key.name) + ": " + ValueForm(key, fields);
    }
    out << map << "}";
    return true;
}
