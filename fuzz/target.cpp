// One libFuzzer entry point, built once per check (FUZZ_CHECK names it), so
// every target asserts exactly what the hostile-file tests replay.

#include <cstdio>
#include <cstdlib>

#include "checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = yz::fuzz::FUZZ_CHECK(yz::ByteView(data, size));
    if (!problem.empty()) {
        std::fprintf(stderr, "broken promise: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
