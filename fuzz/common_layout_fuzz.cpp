// Parses arbitrary layout strings: a string either parses or throws
// std::logic_error, and a parsed layout can be walked to its end.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "common/layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        common::Layout layout(text);
        common::LayoutWalker w(layout);
        // Walk a bounded number of items: repeat counts can make a layout long.
        for (int n = 0; n < 100000 && w.next(); ++n) {
        }
    } catch (const std::logic_error&) {
    }
    return 0;
}
