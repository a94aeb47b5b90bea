// A whole METCONV run of type DR on an arbitrary input file.
#include "fuzz/metconv_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzing::run_metconv_type("DR", data, size);
}
