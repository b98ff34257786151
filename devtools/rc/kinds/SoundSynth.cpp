#include "devtools/rc/kinds/SoundSynth.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "devtools/rc/SourceFile.h"

namespace {

constexpr double kFadeMs = 2.0;

// A number within [low, high]; an optional one that is absent keeps its
// value.
bool Number(CSourceFile& source, const YAML::Node& map, const char* key, double low, double high,
            bool required, double& value) {
    const YAML::Node n = map[key];
    if (!n) {
        if (required) {
            source.Error(map, std::string("missing \"") + key + "\"");
        }
        return !required;
    }
    const std::string text = n.IsScalar() ? n.Scalar() : std::string();
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v) || v < low || v > high) {
        source.Error(n, std::string("\"") + key + "\" is a number from " + std::to_string(low) +
                            " to " + std::to_string(high));
        return false;
    }
    value = v;
    return true;
}

bool ReadVoice(CSourceFile& source, const YAML::Node& n, const SSynthSound& sound,
               SSynthVoice& voice) {
    if (!source.KnownKeys(n, {"wave", "from", "to", "q", "start", "length", "attack", "decay",
                              "release", "level", "wobble", "wobbleRate"})) {
        return false;
    }
    std::string wave;
    if (!source.Scalar(n, "wave", wave)) {
        return false;
    }
    if (wave != "sine" && wave != "noise") {
        source.Error(n["wave"], "a voice's wave is sine or noise");
        return false;
    }
    voice.noise = wave == "noise";
    const double length = sound.lengthMs;
    const double nyquist = kSynthRate / 2.0 - 1.0;
    if (!Number(source, n, "from", 20, nyquist, true, voice.from) ||
        !Number(source, n, "to", 20, nyquist, true, voice.to) ||
        !Number(source, n, "q", 0, 50, false, voice.q) ||
        !Number(source, n, "start", 0, length, false, voice.start) ||
        !Number(source, n, "length", 1, length, false, voice.length) ||
        !Number(source, n, "attack", 0, length, false, voice.attack) ||
        !Number(source, n, "decay", 0, 10000, false, voice.decay) ||
        !Number(source, n, "release", 0, length, false, voice.release) ||
        !Number(source, n, "level", 0, 10, false, voice.level) ||
        !Number(source, n, "wobble", 0, 2000, false, voice.wobble) ||
        !Number(source, n, "wobbleRate", 0, 200, false, voice.wobbleRate)) {
        return false;
    }
    if (voice.length < 0) {
        voice.length = length - voice.start;
    }
    if (voice.start + voice.length > length || voice.attack + voice.release > voice.length) {
        source.Error(n, "a voice lies within the sound, its attack and release within the voice");
        return false;
    }
    return true;
}

// Noise with a seed of its own: xorshift32, uniform in [-1, 1).
class CNoise {
public:
    explicit CNoise(uint32_t seed) : m_nState(seed ? seed : 0x9E3779B9u) {}
    double Next() {
        m_nState ^= m_nState << 13;
        m_nState ^= m_nState >> 17;
        m_nState ^= m_nState << 5;
        return double(m_nState) / 2147483648.0 - 1.0;
    }

private:
    uint32_t m_nState;
};

// A band-pass biquad (0 dB at the centre) whose centre moves per sample.
class CBandPass {
public:
    double Run(double x, double centre, double q) {
        const double w = 2.0 * std::numbers::pi * centre / kSynthRate;
        const double alpha = std::sin(w) / (2.0 * q);
        const double a0 = 1.0 + alpha;
        const double b0 = alpha / a0, b2 = -alpha / a0;
        const double a1 = -2.0 * std::cos(w) / a0, a2 = (1.0 - alpha) / a0;
        const double y = b0 * x + b2 * m_x2 - a1 * m_y1 - a2 * m_y2;
        m_x2 = m_x1;
        m_x1 = x;
        m_y2 = m_y1;
        m_y1 = y;
        return y;
    }

private:
    double m_x1 = 0, m_x2 = 0, m_y1 = 0, m_y2 = 0;
};

// A smooth step from 0 to 1 as t goes from 0 to 1.
double Smooth(double t) {
    const double s = std::sin(std::numbers::pi / 2.0 * std::clamp(t, 0.0, 1.0));
    return s * s;
}

void AddVoice(const SSynthVoice& voice, uint32_t seed, std::vector<double>& mix) {
    const double perMs = kSynthRate / 1000.0;
    const size_t first = size_t(std::llround(voice.start * perMs));
    const size_t count = std::min(size_t(std::llround(voice.length * perMs)), mix.size() - first);
    CNoise noise(seed);
    CBandPass band;
    double phase = 0;
    for (size_t i = 0; i < count; ++i) {
        const double ms = double(i) / perMs;
        const double along = count > 1 ? double(i) / double(count - 1) : 0.0;
        double frequency = voice.from * std::pow(voice.to / voice.from, along);
        if (voice.wobble > 0) {
            frequency +=
                voice.wobble * std::sin(2.0 * std::numbers::pi * voice.wobbleRate * ms / 1000.0);
            frequency = std::clamp(frequency, 20.0, kSynthRate / 2.0 - 1.0);
        }
        double sample;
        if (voice.noise) {
            const double white = noise.Next();
            sample = voice.q > 0 ? band.Run(white, frequency, voice.q) : white;
        } else {
            sample = std::sin(phase);
            phase += 2.0 * std::numbers::pi * frequency / kSynthRate;
        }
        double envelope = 1.0;
        if (voice.attack > 0) {
            envelope *= Smooth(ms / voice.attack);
        }
        if (voice.decay > 0 && ms > voice.attack) {
            envelope *= std::exp(-(ms - voice.attack) / voice.decay);
        }
        if (voice.release > 0) {
            envelope *= Smooth((voice.length - ms) / voice.release);
        }
        mix[first + i] += voice.level * envelope * sample;
    }
}

} // namespace

bool ReadSynth(CSourceFile& source, const YAML::Node& synth, SSynthSound& sound) {
    if (!source.KnownKeys(synth, {"length", "peak", "seed", "voices"})) {
        return false;
    }
    int64_t length = 0, seed = 0;
    if (!source.Integer(synth, "length", 5, 300, length) ||
        !source.Integer(synth, "seed", 0, 0xFFFFFFFFLL, seed)) {
        return false;
    }
    sound.lengthMs = int32_t(length);
    sound.seed = uint32_t(seed);
    // Three sounds at once stay below full scale.
    if (!Number(source, synth, "peak", -40, -12, true, sound.peakDb)) {
        return false;
    }
    const YAML::Node voices = synth["voices"];
    if (!voices || !voices.IsSequence() || voices.size() == 0) {
        source.Error(voices ? voices : synth, "\"voices\" must be a list of at least one voice");
        return false;
    }
    for (const YAML::Node& n : voices) {
        SSynthVoice voice;
        if (!ReadVoice(source, n, sound, voice)) {
            return false;
        }
        sound.voices.push_back(voice);
    }
    return true;
}

std::vector<int16_t> SynthesiseSamples(const SSynthSound& sound) {
    const size_t frames = size_t((int64_t(sound.lengthMs) * kSynthRate + 999) / 1000);
    std::vector<double> mix(frames, 0.0);
    for (size_t v = 0; v < sound.voices.size(); ++v) {
        AddVoice(sound.voices[v], sound.seed + uint32_t(v) * 0x9E3779B9u, mix);
    }
    // Faded in and out over 2 ms, so that neither end clicks, and without
    // a DC offset: what the fades leave of it is taken out in their shape.
    const size_t fade = size_t(std::llround(kFadeMs * kSynthRate / 1000.0));
    std::vector<double> window(frames, 1.0);
    double sum = 0, weight = 0;
    for (size_t i = 0; i < frames; ++i) {
        const size_t edge = std::min(i, frames - 1 - i);
        if (edge < fade) {
            window[i] = Smooth(double(edge) / double(fade));
        }
        mix[i] *= window[i];
        sum += mix[i];
        weight += window[i];
    }
    const double offset = weight > 0 ? sum / weight : 0.0;
    for (size_t i = 0; i < frames; ++i) {
        mix[i] -= offset * window[i];
    }
    double peak = 0;
    for (double s : mix) {
        peak = std::max(peak, std::abs(s));
    }
    const double scale = peak > 0 ? 32768.0 * std::pow(10.0, sound.peakDb / 20.0) / peak : 0.0;
    std::vector<int16_t> samples(frames);
    for (size_t i = 0; i < frames; ++i) {
        samples[i] = int16_t(std::clamp(std::round(mix[i] * scale), -32768.0, 32767.0));
    }
    return samples;
}

std::string WavOfSamples(const std::vector<int16_t>& samples) {
    std::string out;
    auto put = [&out](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.push_back(char((v >> (8 * i)) & 0xFF));
        }
    };
    const uint32_t d = uint32_t(samples.size() * 2);
    out += "RIFF";
    put(d + 36, 4);
    out += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(kSynthRate, 4);
    put(kSynthRate * 2, 4);
    put(2, 2);
    put(16, 2);
    out += "data";
    put(d, 4);
    for (int16_t s : samples) {
        put(uint16_t(s), 2);
    }
    return out;
}
