// The weather file against what METCONV writes for the input, statement by
// statement in step: each statement the replay gives is matched with the
// next one read from the file, field by field (a value too large for its
// columns must be asterisks there), and the file must end where the replay
// does. Every statement read from the file, or the replay's own when there
// is no file, goes on to the series values for the figures.
//
// The first kListed differences are kept with the file's line and what
// differs; all are counted. Statements for another station than the run's
// are counted apart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "weatherview/replay.h"
#include "weatherview/series_values.h"
#include "weatherview/weather_file_reader.h"

namespace weatherview {

struct Difference {
    int64_t line = 0;  // line of the weather file; 0 past its end
    std::string what;
};

class UnitComparer final : public UnitSink {
  public:
    static constexpr size_t kListed = 50;

    // FILE: the weather file, or nullptr when there is none to read.
    UnitComparer(DataType type, int32_t sta, WeatherFileReader* file, SeriesValues& values);

    void unit(const FileUnit& expected) override;
    // Reads what the file holds after the last statement expected.
    void finish();
    // Reads the whole file into the values, comparing nothing (there is no
    // input to compare it with).
    void take_all();

    const std::vector<Difference>& differences() const { return listed_; }
    int64_t difference_count() const { return count_; }
    int64_t expected() const { return expected_; }
    int64_t read() const { return read_; }
    // Statements of the file with another station number, and the first of them.
    int64_t other_station() const { return other_station_; }
    int32_t other_station_number() const { return other_sta_; }
    int64_t other_station_line() const { return other_line_; }

  private:
    void differ(int64_t line, std::string what);
    void compare(const FileUnit& e, const FileUnit& f);
    std::string label(const FileUnit& u) const;

    DataType type_;
    int32_t sta_;
    WeatherFileReader* file_;
    SeriesValues* values_;
    bool file_ended_ = false;
    int64_t last_line_ = 0;
    std::vector<Difference> listed_;
    int64_t count_ = 0, expected_ = 0, read_ = 0;
    int64_t other_station_ = 0, other_line_ = 0;
    int32_t other_sta_ = 0;
};

}  // namespace weatherview
