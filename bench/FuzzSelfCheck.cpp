// libFuzzer target that proves scripts/fuzz.sh keeps what the undefined
// behaviour sanitizer reports: an input of four bytes or more whose first
// word, read as a signed number, is 2^30 or more away from 0 overflows a
// signed add below. `fuzz.sh --self-check` runs it as it runs the readers
// and passes only when that overflow was saved as a finding. Never one of
// the targets fuzzed by default. Built only with clang; see the README.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Keeps the sum, so that the add is not left out.
volatile int32_t g_nSum = 0;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    int32_t word = 0;
    std::memcpy(&word, data, sizeof word);
    g_nSum = word + word; // the planted fault: undefined once |word| >= 2^30
    return 0;
}
