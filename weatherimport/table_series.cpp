#include "weatherimport/table_series.h"

#include <algorithm>
#include <optional>

namespace weatherimport {
namespace {

struct Bound {
    Quantity quantity;
    int column;
    int flag_column = -1;
};

std::string shown(const std::string& cell) {
    return cell.empty() ? "an empty cell" : "\"" + cell + "\"";
}

class RowReader {
  public:
    RowReader(const Table& t, const TableLayout& l, Refusal& r) : table_(t), layout_(l), refusal_(r) {}

    bool refuse(const Row& row, int cell, int offset, std::string what) {
        const int column = cell < 0 ? 1 : row.cells[static_cast<size_t>(cell)].column + offset;
        refusal_ = {{table_.file, row.line, column}, std::move(what)};
        return false;
    }

    bool integer(const Row& row, int cell, int& v) {
        const std::string& t = row.cells[static_cast<size_t>(cell)].text;
        size_t i = 0;
        v = 0;
        for (; i < t.size() && t[i] >= '0' && t[i] <= '9' && i < 6; ++i) v = v * 10 + (t[i] - '0');
        if (t.empty() || i != t.size())
            return refuse(row, cell, static_cast<int>(i),
                          shown(t) + " in column " + header(cell) + " is not a whole number");
        return true;
    }

    std::string header(int cell) const { return "\"" + table_.header.cells[static_cast<size_t>(cell)].text + "\""; }

    // The day of ROW, or false with the refusal set.
    bool day(const Row& row, Day& d) {
        size_t off = 0;
        if (!layout_.date_column.empty()) {
            const int c = date_cell_;
            auto v = read_iso_date(row.cells[static_cast<size_t>(c)].text, off);
            if (!v)
                return refuse(row, c, static_cast<int>(off),
                              shown(row.cells[static_cast<size_t>(c)].text) + " is not a date YYYY-MM-DD");
            d = *v;
            return true;
        }
        int y = 0;
        if (!integer(row, year_cell_, y)) return false;
        if (doy_cell_ >= 0) {
            int n = 0;
            if (!integer(row, doy_cell_, n)) return false;
            auto v = day_of_year_date(y, n);
            if (!v)
                return refuse(row, doy_cell_, 0, "day " + std::to_string(n) + " is not a day of " + std::to_string(y));
            d = *v;
            return true;
        }
        int m = 0, dd = 0;
        if (!integer(row, month_cell_, m) || !integer(row, day_cell_, dd)) return false;
        auto v = calendar_date(y, m, dd);
        if (!v)
            return refuse(row, m < 1 || m > 12 ? month_cell_ : day_cell_, 0,
                          std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(dd) + " is no date");
        d = *v;
        return true;
    }

    // A quality flag on the value: the flag's words, or "".
    std::string flag(const Row& row, int cell) const {
        if (cell < 0) return "";
        const std::string& t = row.cells[static_cast<size_t>(cell)].text;
        if (layout_.flag_form == FlagForm::AnyText) return t.empty() ? "" : "flag \"" + t + "\"";
        // NOAA attributes: measurement, quality, source flags and time.
        const size_t c1 = t.find(',');
        const std::string m = t.substr(0, c1);
        const std::string q = c1 == std::string::npos ? "" : t.substr(c1 + 1, t.find(',', c1 + 1) - c1 - 1);
        if (!q.empty()) return "quality flag " + q;
        if (m == "P") return "measurement flag P (missing, presumed zero)";
        return "";
    }

    double convert(Quantity q, double v) const {
        switch (q) {
            case Quantity::Tmax:
            case Quantity::Tmin:
            case Quantity::Tdew:
                return to_celsius(v, layout_.temperature_unit);
            case Quantity::Rain:
                return to_mm(v, layout_.rain_unit);
            case Quantity::Pet:
                return to_mm(v, layout_.pet_unit);
            case Quantity::Wind:
                return to_metres_per_second(v, layout_.wind_unit);
            default:
                return v;
        }
    }

    // Reads the value of one quantity: true with V empty when missing.
    bool value(const Row& row, const Bound& b, const Day& d, std::optional<double>& v, SourceSeries& series) {
        const Cell& cell = row.cells[static_cast<size_t>(b.column)];
        Place place{table_.file, row.line, cell.column};
        v.reset();
        if (std::find(layout_.missing_codes.begin(), layout_.missing_codes.end(), cell.text) !=
            layout_.missing_codes.end())
            return true;
        if (cell.text.empty())
            return refuse(row, b.column, 0,
                          "an empty cell in column " + header(b.column) +
                              ": declare --missing \"\" if an empty cell means no value");
        size_t off = 0;
        auto n = read_number(cell.text, layout_.decimal_comma, off);
        if (!n)
            return refuse(row, b.column, static_cast<int>(off),
                          shown(cell.text) + " in column " + header(b.column) + " is not a number" +
                              (layout_.decimal_comma ? " with a decimal comma" : "") + " nor a declared missing code");
        const std::string why = flag(row, b.flag_column);
        if (!why.empty()) {
            series.findings.push_back({FindingKind::Flagged, std::string(quantity_name(b.quantity)), iso(d), "",
                                       "value " + cell.text + " with " + why + ", read as missing", place});
            return true;
        }
        v = convert(b.quantity, *n);
        return true;
    }

    bool bind(std::vector<Bound>& bound) {
        auto find = [&](const std::string& name, int& cell) {
            if (name.empty()) return true;
            cell = table_.column_of(name);
            if (cell < 0) {
                refusal_ = {{table_.file, table_.header.line, 1}, "the header has no column \"" + name + "\""};
                return false;
            }
            return true;
        };
        if (!find(layout_.date_column, date_cell_) || !find(layout_.year_column, year_cell_) ||
            !find(layout_.doy_column, doy_cell_) || !find(layout_.month_column, month_cell_) ||
            !find(layout_.day_column, day_cell_) || !find(layout_.datetime_column, datetime_cell_) ||
            !find(layout_.station_column, station_cell_))
            return false;
        for (const auto& [q, name] : layout_.columns) {
            Bound b{q, -1};
            if (!find(name, b.column)) return false;
            for (const auto& [value_column, flag_column] : layout_.flag_columns)
                if (value_column == name && !find(flag_column, b.flag_column)) return false;
            bound.push_back(b);
        }
        return true;
    }

    int date_cell_ = -1, year_cell_ = -1, doy_cell_ = -1, month_cell_ = -1, day_cell_ = -1, datetime_cell_ = -1,
        station_cell_ = -1;

  private:
    const Table& table_;
    const TableLayout& layout_;
    Refusal& refusal_;
};

}  // namespace

bool read_table_series(const Table& table, const TableLayout& layout, SourceSeries& series, Refusal& refusal) {
    RowReader reader(table, layout, refusal);
    std::vector<Bound> bound;
    if (!reader.bind(bound)) return false;
    for (const Bound& b : bound) series.carried[index(b.quantity)] = true;
    series.temperature_unit = layout.temperature_unit;
    series.rain_unit = layout.rain_unit;
    const std::string* station = nullptr;
    for (const Row& row : table.rows) {
        if (reader.station_cell_ >= 0) {
            const std::string& s = row.cells[static_cast<size_t>(reader.station_cell_)].text;
            if (!station)
                station = &s;
            else if (s != *station)
                return reader.refuse(row, reader.station_cell_, 0,
                                     "station " + s + " in a file of station " + *station + ": one station per import");
        }
        if (reader.datetime_cell_ >= 0) {
            // Hourly rain: the timestamp names the end or the start of the
            // hour; the model's hour is the one that ends then.
            const Cell& c = row.cells[static_cast<size_t>(reader.datetime_cell_)];
            size_t off = 0;
            auto t = read_iso_date_time(c.text, off);
            if (!t)
                return reader.refuse(row, reader.datetime_cell_, static_cast<int>(off),
                                     shown(c.text) + " is not a date and time YYYY-MM-DDTHH:MM");
            if ((t->time_since_epoch() % std::chrono::hours{1}).count() != 0)
                return reader.refuse(row, reader.datetime_cell_, 14,
                                     "an hourly reading is stamped on the full hour, not at " + c.text);
            const Minute end = layout.hour_ending ? *t : *t + std::chrono::hours{1};
            std::optional<double> v;
            const Day d = date::floor<date::days>(end - std::chrono::minutes{1});
            if (!reader.value(row, bound.at(0), d, v, series)) return false;
            series.hourly_rain.push_back({end, v, {table.file, row.line, c.column}});
            continue;
        }
        Day d;
        if (!reader.day(row, d)) return false;
        for (const Bound& b : bound) {
            std::optional<double> v;
            if (!reader.value(row, b, d, v, series)) return false;
            const Cell& cell = row.cells[static_cast<size_t>(b.column)];
            if (v) series.observations.push_back({d, b.quantity, *v, {table.file, row.line, cell.column}});
        }
    }
    return true;
}

}  // namespace weatherimport
