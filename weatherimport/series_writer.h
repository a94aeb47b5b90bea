// The model's weather files from an imported series: each series written in
// the converter's input form (records "year day-of-year value(s)", one a
// line, days in time order), then converted by METCONV's own code, and
// with pages asked for, drawn by METVIEW.
//
//   NAME_tp.dat  year doy tmax tmin   -> NAME_tp.TEM   (TP, DC or DF)
//   NAME_et.dat  year doy pet         -> NAME_et.PET   (ET, MM)
//   NAME_dr.dat  year doy rain        -> NAME_dr.RAI   (DR, MM, NHR, BEGHR)
//   NAME_hr.dat  year daytime rain    -> NAME_hr.RAI   (HR, MM)
//
// A day without a temperature or a PET value is written -99, the missing
// code that the converters keep as it stands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "weatherimport/daily_series.h"

namespace weatherimport {

// A number as the series records carry it: up to six decimals, trailing
// zeros dropped ("12.5", "-3", "0.254").
std::string record_number(double v);

// The records of each input form; every day of S from its first to its
// last day. Temperatures in degrees F when FAHRENHEIT, else degrees C.
std::string temperature_records(const DailySeries& s, bool fahrenheit);
std::string daily_records(const DailySeries& s, Quantity q);
std::string pet_records(const DailySeries& s, const std::vector<std::optional<double>>& pet);
// Hourly rain: the day of the year plus the fraction of the day at which
// each hour ends; RAIN in mm.
std::string hourly_records(const std::vector<std::pair<Minute, double>>& hours);

// One conversion: the input written, METCONV's log line, and the page.
struct Conversion {
    std::string input;     // DIR/NAME_xx.dat
    std::string output;    // DIR/NAME_xx.TEM, .PET or .RAI
    std::string log;       // DIR/NAME_xx.LOG
    std::string log_line;  // METCONV's log record, trailing blanks removed
    bool ok = false;
    std::optional<std::string> page;
    std::vector<std::string> console;  // METCONV's and METVIEW's console lines
    std::string error;                 // the input could not be written
};

// Writes RECORDS to INPUT and runs METCONV (and METVIEW with PAGE) on it
// with ARGS after the input name.
Conversion convert_series(const std::string& input, const std::string& records, const std::vector<std::string>& args,
                          bool page);

}  // namespace weatherimport
