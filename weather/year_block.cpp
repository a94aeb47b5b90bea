#include "weather/year_block.h"

#include "common/record_write.h"
#include "weather/calendar.h"

namespace metconv {

YearBlock::YearBlock(int values_per_day) : nvalues_(values_per_day) { clear(); }

void YearBlock::start(int32_t year, int32_t first) {
    year_ = year;
    first_ = first;
    last_ = first;
    MONLEN[1] = FEBDAYS(year);
}

void YearBlock::clear() {
    for (auto& month : cells_)
        for (auto& day : month)
            for (int32_t& v : day) v = kMissing;
}

void YearBlock::write(common::Connection& out, const common::Layout& layout, int32_t sta) const {
    for (int32_t m = first_; m <= last_; ++m) {
        common::StatementWriter w(out, layout);
        w << sta << year_ << m;
        for (int32_t d = 0; d < MONLEN[m - 1]; ++d)
            for (int k = 0; k < nvalues_; ++k) w << cells_[m - 1][d][k];
        w.finish();
    }
}

}  // namespace metconv
