#include "platform/Music.h"

#include <cmath>

float CMusic::FrequencyMultiplier(ENote note) {
    return float(std::pow(10.0, (std::log10(2.0) / 12.0) * double(note)));
}
