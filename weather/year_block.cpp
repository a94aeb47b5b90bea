#include "weather/year_block.h"

#include "common/record_write.h"
#include "weather/calendar.h"

namespace weather {

YearBlock::YearBlock(int values_per_day) : nvalues_(values_per_day) {
    start(0);
}

void YearBlock::start(int32_t year) {
    year_ = year;
    months_.reset();
    for (auto& month : cells_)
        for (auto& day : month)
            for (int32_t& v : day) v = kMissing;
}

void YearBlock::write(common::Connection& out, const common::Layout& layout, int32_t sta) const {
    if (months_.empty()) return;
    for (int32_t m = months_.first(); m <= months_.last(); ++m) {
        common::StatementWriter w(out, layout);
        w << sta << year_ << m;
        for (int32_t d = 0; d < MONDAYS(year_, m); ++d)
            for (int k = 0; k < nvalues_; ++k) w << cells_[m - 1][d][k];
        w.finish();
    }
}

}  // namespace weather
