// Reads arbitrary bytes through the layouts the programs read with, in every
// combination of target kinds that the first bytes choose.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/connection.h"
#include "common/layout.h"
#include "common/record_read.h"

namespace {

const char* const kLayouts[] = {
    "(A)",
    "(A80)",
    "(A,/,A)",
    "(19X,I2)",
    "(/,I3,8X,F10.5,/)",
    "(/,I3,F8.3,F10.5,/)",
    "(20X,F10.2,5X,F15.6)",
    "(F10.4,10X,F10.2,5X,F15.6)",
    "(/,1X)",
    "(2I2)",
    "(F10.3,10X,F10.1,5X,F15.9)",
    "(E10.4)",
    "(3(I2,F5.1))",
    "(A3,A)",
    "(5(/),1X,A)",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    constexpr size_t kCount = sizeof kLayouts / sizeof *kLayouts;
    static common::Layout* layouts[kCount] = {};
    size_t which = data[0] % kCount;
    if (!layouts[which]) layouts[which] = new common::Layout(kLayouts[which]);
    // The targets follow the layout's data items, as a program's would.
    common::ItemKind want[6];
    int have = 0;
    common::LayoutWalker walk(*layouts[which]);
    for (int cycles = 0; have < 6 && cycles < 2;) {
        const common::Item* it = walk.next();
        if (!it) {
            walk.restart();
            if (have == 0) ++cycles;  // a layout without data items skips records only
            continue;
        }
        if (it->is_data()) want[have++] = it->kind;
    }
    int count = have == 0 ? 0 : 1 + data[1] % have;
    size_t text_len = 1 + data[1] / 6 % 90;
    auto c = common::Connection::in_memory(1, "fuzz", std::string(reinterpret_cast<const char*>(data + 2), size - 2));
    // Read statements until the input ends; each one consumes a record.
    for (int n = 0; n < 10000; ++n) {
        common::RecordReader r(*c, *layouts[which]);
        int32_t i = 0;
        float f = 0;
        std::string s(text_len, ' ');
        bool go = true;
        for (int k = 0; k < count && go; ++k) {
            switch (want[k]) {
                case common::ItemKind::Int:
                    go = r.get(i);
                    break;
                case common::ItemKind::Text:
                    go = r.get(s);
                    break;
                default:
                    go = r.get(f);
                    break;
            }
        }
        if (r.finish() == common::ReadStatus::EndOfFile) break;
    }
    return 0;
}
