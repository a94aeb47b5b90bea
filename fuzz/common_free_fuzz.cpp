// Free-form reading of arbitrary bytes into targets of the kinds the first
// byte chooses, until the input ends.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/connection.h"
#include "common/free_form.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    uint8_t kinds = data[0];
    auto c = common::Connection::in_memory(1, "fuzz", std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    for (int n = 0; n < 10000; ++n) {
        common::FreeReader r(*c);
        int32_t i = 0;
        float f = 0;
        std::string s(static_cast<size_t>(kinds % 17), ' ');
        bool go = true;
        for (int k = 0; k < 8 && go; ++k) {
            switch ((kinds >> (k % 4 * 2)) & 3) {
                case 0:
                    go = r.get(i);
                    break;
                case 1:
                    go = r.get(f);
                    break;
                default:
                    go = r.get(s);
                    break;
            }
        }
        if (r.finish() == common::ReadStatus::EndOfFile) break;
        if (c->at_end()) break;
    }
    return 0;
}
