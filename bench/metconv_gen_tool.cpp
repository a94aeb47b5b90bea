// Generates long weather series for timing METCONV.
//
//   metconv_gen_tool TYPE FACTOR OUTFILE
//
// TYPE HR: 100 x FACTOR years of rain readings at every full hour, with a
// second reading at the half hour in about one hour of four (about 1.1
// million records, 21 MB, for FACTOR 1), in inches.
// TYPE TP, ET, DR: 100 x FACTOR years of daily records: two temperatures in
// degrees F, potential evapotranspiration in inches, or daily rain in inches.
// The years start at 1901 and the values follow a fixed pseudo-random
// sequence, so every run writes the same file.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/connection.h"
#include "common/layout.h"
#include "common/record_write.h"

namespace {

// A small linear congruential generator: the same sequence everywhere.
struct Sequence {
    uint64_t s = 88172645463325252ull;
    double next() {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(s >> 11) / 9007199254740992.0;
    }
};

int32_t year_days(int32_t y) {
    return (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) ? 366 : 365;
}

// Rain of one reading, inches: mostly dry, small amounts in storms.
float rain_reading(Sequence& r) {
    return r.next() < 0.9 ? 0.0f : static_cast<float>(std::round(r.next() * 30.0) / 100.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: metconv_gen_tool HR|TP|ET|DR FACTOR OUTFILE\n");
        return 2;
    }
    const std::string type = argv[1];
    const int factor = std::atoi(argv[2]);
    if (factor < 1 || (type != "HR" && type != "TP" && type != "ET" && type != "DR")) {
        std::fprintf(stderr, "metconv_gen_tool: bad type or factor\n");
        return 2;
    }
    common::UnitTable units;
    common::Connection* out = units.open(20, argv[3]);
    if (!out) {
        std::fprintf(stderr, "metconv_gen_tool: cannot open %s\n", argv[3]);
        return 1;
    }
    static const common::Layout kHourly("(I4,1X,F8.4,1X,F4.2)");
    static const common::Layout kTemps("(I4,1X,I3,1X,F5.1,1X,F5.1)");
    static const common::Layout kDaily("(I4,1X,I3,1X,F5.2)");
    Sequence r;
    int64_t records = 0;
    const int32_t first = 1901, last = first + 100 * factor - 1;
    for (int32_t y = first; y <= last; ++y) {
        for (int32_t d = 1; d <= year_days(y); ++d) {
            const double season = std::sin((d - 105) / 365.25 * 2.0 * 3.141592653589793);
            if (type == "HR") {
                for (int h = 1; h <= 24; ++h) {
                    if (r.next() < 0.25) {
                        const auto half = static_cast<float>(d + (h - 0.5) / 24.0);
                        common::write_record(*out, kHourly, {y, half, rain_reading(r)});
                        ++records;
                    }
                    const auto full = static_cast<float>(d + h / 24.0);
                    common::write_record(*out, kHourly, {y, full, rain_reading(r)});
                    ++records;
                }
            } else if (type == "TP") {
                const double mean = 58.0 + 20.0 * season;
                common::write_record(*out, kTemps,
                                     {y, d, static_cast<float>(mean + 9.0 + 6.0 * r.next()),
                                      static_cast<float>(mean - 9.0 - 6.0 * r.next())});
                ++records;
            } else if (type == "ET") {
                common::write_record(*out, kDaily, {y, d, static_cast<float>(0.12 + 0.1 * season + 0.04 * r.next())});
                ++records;
            } else {
                const float rain = r.next() < 0.7 ? 0.0f : static_cast<float>(std::round(r.next() * 150.0) / 100.0);
                common::write_record(*out, kDaily, {y, d, rain});
                ++records;
            }
        }
    }
    if (!units.close(20)) {
        std::fprintf(stderr, "metconv_gen_tool: cannot write %s\n", argv[3]);
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(records));
    return 0;
}
