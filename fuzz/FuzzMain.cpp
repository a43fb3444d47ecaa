// The entry of one fuzz program: TRAZON_FUZZ_ENTRY names its harness function.
#include "FuzzHarnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return TRAZON_FUZZ_ENTRY(data, size);
}
