// Whole imports on disk: source file in, the converter's inputs and the
// model's files out, every gap, fill and refusal listed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "weatherimport/gaps.h"
#include "weatherimport/pet_thornthwaite.h"
#include "weatherimport/plausibility.h"
#include "weatherimport/weather_import.h"

namespace weatherimport {
namespace {

namespace fs = std::filesystem;

class Import : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("weatherimport_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
                std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& name, const std::string& text) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::string read(const std::string& name) {
        std::ifstream in(dir_ / name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    ImportOptions options(const std::string& file) {
        ImportOptions o;
        o.file = file;
        o.out_dir = dir_.string();
        o.name = "st";
        o.station = 42;
        return o;
    }
    static std::string lines(const Findings& f) {
        std::string s;
        for (const Finding& x : f) s += finding_line(x) + "\n";
        return s;
    }

    fs::path dir_;
};

// A spreadsheet table with empty cells, a decimal comma and a flag column:
// every day written in order, -99 where a temperature is missing, each gap
// and flag listed, the model's files written by METCONV.
TEST_F(Import, SpreadsheetTableToTheModelsFiles) {
    ImportOptions o = options(write("sheet.csv",
                                    "date;tmax;tmin;rain;rain_flag\r\n"
                                    "1999-12-30;5,5;-1,5;0;\r\n"
                                    "1999-12-31;;-2;2,5;\r\n"
                                    "2000-01-02;4;-3;1;\r\n"
                                    "2000-01-01;3;-4;0,5;E\r\n"));
    o.delimiter = ';';
    auto& l = o.layout;
    l.date_column = "date";
    l.columns = {{Quantity::Tmax, "tmax"}, {Quantity::Tmin, "tmin"}, {Quantity::Rain, "rain"}};
    l.flag_columns = {{"rain", "rain_flag"}};
    l.missing_codes = {""};
    l.decimal_comma = true;
    o.missing_rain_dry = true;
    const ImportReport r = run_import(o);
    ASSERT_EQ(r.status, 0) << (r.errors.empty() ? "" : r.errors[0]);
    EXPECT_EQ(read("st_tp.dat"), "1999 364 5.5 -1.5\r\n1999 365 -99 -2\r\n2000 1 3 -4\r\n2000 2 4 -3\r\n");
    EXPECT_EQ(read("st_dr.dat"), "1999 364 0\r\n1999 365 2.5\r\n2000 1 0\r\n2000 2 1\r\n");
    EXPECT_EQ(lines(r.findings),
              "flagged rain 2000-01-01: value 0,5 with flag \"E\", read as missing (" + o.file +
                  ":5:17)\n"
                  "check 2000-01-01: out of order: comes after 2000-01-02 in the source (" +
                  o.file +
                  ":5)\n"
                  "missing tmax 1999-12-31: 1 day without a value\n"
                  "missing rain 2000-01-01: 1 day without a value\n"
                  "dry-assumed rain 2000-01-01: no rain value: written as a dry day (--missing-rain dry)\n");
    ASSERT_EQ(r.conversions.size(), 2u);
    for (const Conversion& c : r.conversions) EXPECT_TRUE(c.ok) << c.log_line;
    EXPECT_EQ(read("st_tp.TEM").substr(0, 13), "    42 199912");
    EXPECT_NE(read("st_dr.RAI").find("    42 199912"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir_ / "st_tp.LOG"));
}

// Missing rain without --missing-rain dry: no rain file, the days listed,
// the import failed; the temperature file is written all the same.
TEST_F(Import, MissingRainRefusesTheRainFile) {
    ImportOptions o = options(write("t.csv", "date,tmax,tmin,rain\n2001-05-01,20,10,1\n2001-05-02,21,11,NA\n"));
    o.layout.date_column = "date";
    o.layout.columns = {{Quantity::Tmax, "tmax"}, {Quantity::Tmin, "tmin"}, {Quantity::Rain, "rain"}};
    o.layout.missing_codes = {"NA"};
    const ImportReport r = run_import(o);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "st_dr.dat"));
    EXPECT_FALSE(fs::exists(dir_ / "st_dr.RAI"));
    EXPECT_TRUE(fs::exists(dir_ / "st_tp.TEM"));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_NE(r.errors[0].find("1 day without a rain value"), std::string::npos);
    EXPECT_NE(lines(r.findings).find("missing rain 2001-05-02: 1 day without a value"), std::string::npos);
}

// A NOAA export in standard units: temperatures stay in degrees F (DF) so
// that METCONV rounds each reading once; rain goes in mm.
TEST_F(Import, NoaaStandardUnitsKeepFahrenheit) {
    ImportOptions o = options(write("n.csv",
                                    "\"STATION\",\"DATE\",\"PRCP\",\"TMAX\",\"TMIN\"\n"
                                    "\"USW1\",\"2001-05-01\",\"0.10\",\"71.5\",\"50\"\n"
                                    "\"USW1\",\"2001-05-02\",\"0.00\",\"-0.5\",\"-10\"\n"));
    o.noaa_metric = false;
    const ImportReport r = run_import(o);
    ASSERT_EQ(r.status, 0) << (r.errors.empty() ? "" : r.errors[0]);
    EXPECT_EQ(r.format, "noaa-csv");
    EXPECT_EQ(read("st_tp.dat"), "2001 121 71.5 50\r\n2001 122 -0.5 -10\r\n");
    EXPECT_EQ(read("st_dr.dat"), "2001 121 2.54\r\n2001 122 0\r\n");
    const std::string tem = read("st_tp.TEM");
    EXPECT_EQ(tem.substr(18, 12), " 72 50 -1-10");
    // Without --units the export is refused.
    o.noaa_metric.reset();
    EXPECT_EQ(run_import(o).status, 2);
}

// Gaps: filled only up to the length asked, never at the ends, each value
// listed; PET by Hargreaves is -99 on the days without temperatures.
TEST_F(Import, FillsShortGapsOnlyAndPetIsMissingWhereInputsAre) {
    std::string csv = "date,tmax,tmin\n";
    const char* rows[] = {"2001-07-01,26,14", "2001-07-02,,", "2001-07-03,28,16", "2001-07-04,,",
                          "2001-07-05,,",     "2001-07-06,,", "2001-07-07,30,20", "2001-07-08,31,"};
    for (const char* row : rows) csv += std::string(row) + "\n";
    ImportOptions o = options(write("g.csv", csv));
    o.layout.date_column = "date";
    o.layout.columns = {{Quantity::Tmax, "tmax"}, {Quantity::Tmin, "tmin"}};
    o.layout.missing_codes = {""};
    o.fill_temperature_gaps = 2;
    o.pet = PetMethod::Hargreaves;
    o.site.latitude = 45.72;
    const ImportReport r = run_import(o);
    ASSERT_EQ(r.status, 0) << (r.errors.empty() ? "" : r.errors[0]);
    EXPECT_EQ(read("st_tp.dat"),
              "2001 182 26 14\r\n2001 183 27 15\r\n2001 184 28 16\r\n2001 185 -99 -99\r\n2001 186 -99 -99\r\n"
              "2001 187 -99 -99\r\n2001 188 30 20\r\n2001 189 31 -99\r\n");
    const std::string f = lines(r.findings);
    EXPECT_NE(f.find("filled tmax 2001-07-02: 27.00 C by linear interpolation between 2001-07-01 (26.00) and "
                     "2001-07-03 (28.00)"),
              std::string::npos);
    EXPECT_EQ(f.find("filled tmax 2001-07-04"), std::string::npos);
    EXPECT_NE(f.find("missing tmin 2001-07-04..2001-07-06: 3 days without a value"), std::string::npos);
    const std::string et = read("st_et.dat");
    EXPECT_NE(et.find("2001 185 -99\r\n2001 186 -99\r\n2001 187 -99\r\n"), std::string::npos);
    EXPECT_NE(et.find("2001 189 -99\r\n"), std::string::npos);
    EXPECT_NE(f.find("missing pet 2001-07-04..2001-07-06"), std::string::npos);

    // A gap exactly as long as the limit is filled.
    o.fill_temperature_gaps = 3;
    const std::string filled = lines(run_import(o).findings);
    EXPECT_NE(filled.find("filled tmax 2001-07-06: 29.50 C by linear interpolation between 2001-07-03 (28.00) and "
                          "2001-07-07 (30.00)"),
              std::string::npos)
        << filled;
}

// Hourly rain: hours without a reading refused unless written as dry; the
// DAYTIME of each record is the end of its hour.
TEST_F(Import, HourlyRainGapsAndDaytime) {
    ImportOptions o = options(write("h.csv", "t,mm\n2001-02-01T09:00,1.5\n2001-02-01T12:00,2\n"));
    o.layout.datetime_column = "t";
    o.layout.hour_ending = false;
    o.layout.columns = {{Quantity::Rain, "mm"}};
    ImportReport r = run_import(o);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "st_hr.dat"));
    EXPECT_NE(lines(r.findings).find("missing rain 2001-02-01T11:00..2001-02-01T12:00: 2 hours"), std::string::npos);
    o.missing_rain_dry = true;
    r = run_import(o);
    ASSERT_EQ(r.status, 0) << (r.errors.empty() ? "" : r.errors[0]);
    EXPECT_EQ(read("st_hr.dat"), "2001 32.416667 1.5\r\n2001 32.458333 0\r\n2001 32.500000 0\r\n2001 32.541667 2\r\n");
    EXPECT_NE(read("st_hr.RAI").find(" 110   6"), std::string::npos);  // 1 February, hour 10, 1.5 mm
}

// A day given twice: the first value kept, the repeat listed with both
// lines; a year typed wrong refused before centuries of days are laid out.
TEST_F(Import, RepeatedDaysAndMistypedYears) {
    ImportOptions o = options(write("r.csv", "date,tmax,tmin\n2001-05-01,20,10\n2001-05-01,25,12\n"));
    o.layout.date_column = "date";
    o.layout.columns = {{Quantity::Tmax, "tmax"}, {Quantity::Tmin, "tmin"}};
    o.layout.temperature_unit = TemperatureUnit::Celsius;
    ImportReport r = run_import(o);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(read("st_tp.dat"), "2001 121 20 10\r\n");
    EXPECT_NE(lines(r.findings)
                  .find("check tmax 2001-05-01: repeated day: also on line 2; the value of line 2 is kept (" + o.file +
                        ":3:12)"),
              std::string::npos);
    o.file = write("y.csv", "date,tmax,tmin\n2001-05-01,20,10\n0201-05-02,25,12\n");
    r = run_import(o);
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_NE(r.errors[0].find("0201-05-02 (" + o.file + ":3:12) to 2001-05-01"), std::string::npos);
}

// Plausibility: swapped columns, a unit that cannot be right.
TEST(Plausibility, SwappedColumnsAndWrongUnits) {
    DailySeries s;
    s.first = *calendar_date(2001, 7, 1);
    s.days.resize(3);
    s.carried[index(Quantity::Tmax)] = s.carried[index(Quantity::Tmin)] = s.carried[index(Quantity::Rain)] = true;
    for (size_t i = 0; i < 3; ++i) s.at(i, Quantity::Tmax) = 10.0, s.at(i, Quantity::Tmin) = 20.0;
    s.at(0, Quantity::Rain) = 2000.0;
    s.at(1, Quantity::Tmax) = 75.0;
    s.at(2, Quantity::Tmax) = 19.5;  // half a degree below is below all the same
    Findings f;
    check_plausibility(s, TemperatureUnit::Celsius, DepthUnit::Millimetre, f);
    std::string all;
    for (const Finding& x : f) all += finding_line(x) + "\n";
    EXPECT_NE(all.find("check tmax 2001-07-01: Tmax 10.0 C below Tmin 20.0 C"), std::string::npos);
    EXPECT_NE(all.find("check tmax 2001-07-03: Tmax 19.5 C below Tmin 20.0 C"), std::string::npos) << all;
    EXPECT_NE(all.find("check tmax: Tmax lies below Tmin on 2 of 3 days: are the Tmax and Tmin columns swapped?"),
              std::string::npos);
    EXPECT_NE(all.find("check tmax 2001-07-02: 75.0 C is beyond any air temperature measured"), std::string::npos);
    EXPECT_NE(all.find("check rain 2001-07-01: 2000.0 mm (2000.0 mm) in one day is beyond any rain gauged"),
              std::string::npos);
}

}  // namespace
}  // namespace weatherimport

namespace weatherimport {
namespace {

DailySeries days_from(int year, size_t n, double (*t)(int month)) {
    DailySeries s;
    s.first = *calendar_date(year, 1, 1);
    s.days.resize(n);
    s.carried[index(Quantity::Tmax)] = s.carried[index(Quantity::Tmin)] = true;
    for (size_t i = 0; i < n; ++i) {
        const double v = t(month_of(s.day(i)));
        s.at(i, Quantity::Tmax) = v + 5.0, s.at(i, Quantity::Tmin) = v - 5.0;
    }
    return s;
}

// Thornthwaite on a daily series: every day of a month gets the same share;
// a month missing more than 4 days in a row has no mean (no value on its
// days); without a mean in every calendar month there is no heat index.
TEST(Thornthwaite, DailySeriesMonthsAndRefusal) {
    // 2001 and 2002; 10-14 February 2002 missing (5 days in a row).
    DailySeries s = days_from(2001, 730, [](int m) { return m >= 5 && m <= 9 ? 20.0 : 2.0; });
    for (size_t k = 0; k < 5; ++k) s.at(365 + 40 + k, Quantity::Tmax).reset();
    std::vector<std::optional<double>> pet;
    std::string why;
    ASSERT_TRUE(thornthwaite_series(s, 52.0, pet, why)) << why;
    EXPECT_TRUE(pet[31].has_value());                                         // 1 February 2001
    EXPECT_FALSE(pet[365 + 31].has_value());                                  // 1 February 2002: no mean
    for (size_t i = 181; i < 212; ++i) EXPECT_DOUBLE_EQ(*pet[i], *pet[181]);  // July 2001
    EXPECT_DOUBLE_EQ(*pet[181], *pet[365 + 181]);
    // Four days in a row missing: a mean again, the missing days themselves
    // without a value.
    s.at(365 + 40, Quantity::Tmax) = 7.0;
    ASSERT_TRUE(thornthwaite_series(s, 52.0, pet, why)) << why;
    EXPECT_TRUE(pet[365 + 31].has_value());
    EXPECT_FALSE(pet[365 + 41].has_value());
    // Colder months give less: a month at 2 C against one at 20 C.
    EXPECT_LT(*pet[31], *pet[181]);
    // At the equator every day has 12 hours of daylight: a day of a month
    // of N days gets the month's unadjusted value times N/30, shared over N.
    DailySeries year = days_from(2001, 365, [](int m) { return m >= 5 && m <= 9 ? 20.0 : 2.0; });
    ASSERT_TRUE(thornthwaite_series(year, 0.0, pet, why)) << why;
    double means[12];
    for (int m = 0; m < 12; ++m) means[m] = m >= 4 && m <= 8 ? 20.0 : 2.0;
    const double heat = thornthwaite_heat_index(means);
    EXPECT_NEAR(*pet[181], thornthwaite_unadjusted(20.0, heat) / 30.0, 1e-9);  // July, 31 days
    EXPECT_NEAR(*pet[31], thornthwaite_unadjusted(2.0, heat) / 30.0, 1e-9);    // February, 28 days
    DailySeries half = days_from(2001, 200, [](int) { return 10.0; });
    EXPECT_FALSE(thornthwaite_series(half, 52.0, pet, why));
    EXPECT_NE(why.find("month 7 has none"), std::string::npos);
}

}  // namespace
}  // namespace weatherimport
