// The entry of one fuzz program: TRAZON_FUZZ_ENTRY names its harness function.
#include <sanitizer/common_interface_defs.h>

#include "FuzzHarnesses.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A crash ends the process without destructors: the scratch directory goes all the same.
    __sanitizer_set_death_callback([] { fuzzsupport::removeScratchDir(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return TRAZON_FUZZ_ENTRY(data, size);
}
