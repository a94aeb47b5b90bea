#include "weather/rain_line.h"

#include "common/record_write.h"

namespace weather {

void RainLine::write(int32_t year, int32_t month) {
    common::StatementWriter w(*out_, *layout_);
    w << sta_ << year << month;
    for (int i = 0; i < n_; ++i) w << entries_[i].mday << entries_[i].hour << entries_[i].amount;
    w.finish();
    n_ = 0;
}

}  // namespace weather
