// The weather files METCONV writes, read back through the very layouts that
// wrote them (weather/weather_files.h): one month statement of a .TEM or
// .PET file, or one line of a .RAI file, at a time.
//
// The fields are taken where the layout puts them, column by column. A field
// of asterisks is a value too large for its columns and is kept as such; a
// field that does not read as an integer, or a line that ends before a
// field the statement needs, makes the statement damaged. A statement of a
// month the calendar does not know is damaged as well; its lines are passed
// over as the layout says.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/connection.h"
#include "common/layout.h"
#include "weatherview/series_input.h"

namespace weatherview {

// One statement of a weather file, or what METCONV would write as one.
struct FileUnit {
    static constexpr int kMaxValues = 62;  // 31 days x 2 temperatures; 12 rain entries x 3

    int64_t line = 0;  // line of the file it starts on; 0 for one METCONV would write
    int32_t sta = 0;
    int32_t year = 0;
    int32_t month = 0;
    int n = 0;  // values after the month
    // Temperatures: the two of each day in turn; evapotranspiration: one per
    // day; rain: day of the month, hour and amount of each entry in turn.
    int32_t value[kMaxValues] = {};
    uint64_t stars = 0;              // bit k: value k was written as asterisks
    uint8_t width[kMaxValues] = {};  // columns of each value's field
    bool header_stars = false;       // the station, year or month field holds asterisks
    bool damaged = false;            // a field that does not read, or a line cut short

    bool star(int k) const { return (stars >> k) & 1u; }
    // Rain lines: entries held.
    int entries() const { return n / 3; }
};

// The layout METCONV writes the weather file of TYPE with.
const common::Layout& file_layout(DataType type);
// The weather file's name for a person: "temperature file (.TEM)".
std::string_view file_words(DataType type);

// The data fields of one statement at a time, as a layout places them.
class FieldCursor {
  public:
    FieldCursor(common::Connection& c, const common::Layout& layout);

    // Starts a statement at the next line; false at the end of the file.
    bool start();
    enum class Field : uint8_t { Ok, PastLine, EndOfFile };
    // The next data field's text (its width is the field's). PastLine: the
    // line ends before the field starts.
    Field next(std::string_view& text);
    // True when the current line holds nothing from the current column on.
    bool line_done() const { return col_ >= rec_.size(); }
    // Passes over the rest of the layout, taking the lines its slashes begin.
    void finish();
    // Line of the file the statement started on, from 1.
    int64_t statement_line() const { return first_line_; }

  private:
    bool next_line();

    common::Connection* c_;
    const common::Layout* layout_;
    common::LayoutWalker walker_;
    std::string_view rec_;
    size_t col_ = 0;
    int64_t lines_ = 0;
    int64_t first_line_ = 0;
    bool eof_ = false;
};

class WeatherFileReader {
  public:
    WeatherFileReader(common::Connection& c, DataType type);
    // The next statement; false at the end of the file.
    bool next(FileUnit& u);

  private:
    // Reads one integer field into V; false when the statement cannot go on.
    bool field(FileUnit& u, int32_t& v, bool& stars, uint8_t& width);

    DataType type_;
    FieldCursor cursor_;
    int entry_fields_ = 0;  // rain lines: fields of the entries a line can hold
};

// Which value of U the index K is, for a person: "day 12, second
// temperature", "day 5", "entry 3 (day 4, hour 20): rain".
std::string value_words(DataType type, const FileUnit& u, int k);

}  // namespace weatherview
