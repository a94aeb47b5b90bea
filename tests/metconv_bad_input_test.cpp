// Every bad input of the table in docs/bad_inputs.md, run whole: the exact
// log line and console lines, and the input file's bytes unchanged.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/connection.h"
#include "common/fixed_text.h"
#include "input_kinds.h"
#include "weather/metconv.h"

namespace fs = std::filesystem;

namespace {

std::string read_file(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

using input_kinds::Input;

struct Row {
    const char* what;
    const char* input_name;
    std::string input;
    std::vector<std::string> args;  // after the input's name
    const char* blocking_dir;       // a directory standing where an output goes
    const char* log_name;           // nullptr: no log is written
    std::string log;                // the log's text, before its padding
    std::vector<std::string> console_tail;
    Input kind = Input::File;
    std::string name_arg = {};  // the name given, when not input_name
};

const char kError[] = "ERROR detected check logfile.";

std::vector<Row> rows() {
    const std::string day = "1996 1 1.0\n";
    return {
        {"three arguments",
         "w.dat",
         day,
         {"TP", "DF"},
         nullptr,
         nullptr,
         "",
         {"        <BEGHR>    - Beginning hour", "Stop - Program terminated."}},
        {"missing input",
         "w.dat",
         day,
         {"TP", "DF", "1"},
         nullptr,
         "nosuch.LOG",
         "ERROR: Cannot open file nosuch.dat: No such file or directory",
         {kError}},
        {"output would replace the input",
         "rain.RAI",
         "1996 1.5 0.1\n",
         {"HR", "IN", "1"},
         nullptr,
         "rain.LOG",
         "ERROR: Input file rain.RAI would be replaced by the output file rain.RAI",
         {kError}},
        {"log would replace the input",
         "station.LOG",
         day,
         {"TP", "DF", "1"},
         nullptr,
         nullptr,
         "",
         {"ERROR: Input file station.LOG would be replaced by the log file station.LOG"}},
        {"STA not an integer",
         "w.dat",
         day,
         {"TP", "DF", "abc"},
         nullptr,
         "w.LOG",
         "ERROR: Argument <STA> does not read as an integer: abc",
         {kError}},
        {"NHR not an integer",
         "w.dat",
         day,
         {"DR", "IN", "1", "x", "5"},
         nullptr,
         "w.LOG",
         "ERROR: Argument <NHR> does not read as an integer: x",
         {kError}},
        {"NHR missing for DR",
         "w.dat",
         day,
         {"DR", "IN", "1"},
         nullptr,
         "w.LOG",
         "ERROR: Argument <NHR> is missing for data type DR",
         {kError}},
        {"unknown type",
         "w.dat",
         day,
         {"XX", "IN", "1"},
         nullptr,
         "w.LOG",
         "ERROR: Data type \"XX\" names no converter (TP, ET, HR or DR)",
         {kError}},
        {"unknown units",
         "w.dat",
         day,
         {"ET", "KG", "1"},
         nullptr,
         "w.LOG",
         "ERROR: Units \"KG\" are not known for data type ET (IN, CM or MM)",
         {kError}},
        {"hours past 24",
         "w.dat",
         day,
         {"DR", "IN", "1", "2", "24"},
         nullptr,
         "w.LOG",
         "Total hours greater than 24.",
         {kError}},
        {"beginning hour 0",
         "w.dat",
         day,
         {"DR", "IN", "1", "1", "0"},
         nullptr,
         "w.LOG",
         "Beginning hour < 0 or > 24.",
         {kError}},
        {"no hours to spread over",
         "w.dat",
         day,
         {"DR", "IN", "1", "0", "5"},
         nullptr,
         "w.LOG",
         "Hours to distribute rain < 0 or > 24.",
         {kError}},
        {"empty input",
         "w.dat",
         "",
         {"ET", "IN", "1"},
         nullptr,
         "w.LOG",
         "Invalid record or EOF in input file",
         {kError}},
        {"first record unreadable",
         "w.dat",
         "1996 x 1.0\n",
         {"ET", "IN", "1"},
         nullptr,
         "w.LOG",
         "Invalid record or EOF in input file",
         {kError}},
        {"later record unreadable",
         "w.dat",
         day + "1996 2 x\n",
         {"ET", "IN", "1"},
         nullptr,
         "w.LOG",
         "Invalid record in input file",
         {kError}},
        {"day outside its year (daily rain)",
         "w.dat",
         "1995 366 1.0\n",
         {"DR", "IN", "1", "5", "20"},
         nullptr,
         "w.LOG",
         "Invalid record or EOF in input file",
         {kError}},
        {"day outside its year (temperature, later record)",
         "w.dat",
         "1995 1 50 40\n1995 366 50 40\n",
         {"TP", "DF", "1"},
         nullptr,
         "w.LOG",
         "Invalid record in input file",
         {kError}},
        {"reading outside its year (hourly rain)",
         "w.dat",
         "1995 400.5 1.0\n",
         {"HR", "IN", "1"},
         nullptr,
         "w.LOG",
         "Invalid record or EOF in input file",
         {kError}},
        {"output cannot be created",
         "w.dat",
         day,
         {"ET", "IN", "1"},
         "w.PET",
         "w.LOG",
         "ERROR: Cannot open file w.PET: Is a directory",
         {kError}},
        {"log cannot be created",
         "w.dat",
         day,
         {"ET", "IN", "1"},
         "w.LOG",
         nullptr,
         "",
         {"ERROR: Cannot open log file w.LOG: Is a directory"}},
        {"value too large for its field",
         "w.dat",
         "1996 1 1e30\n",
         {"ET", "IN", "1"},
         nullptr,
         "w.LOG",
         "*NOERROR: Program terminated normally",
         {"Program terminated normally."}},
        {"input is a folder",
         "w.dat",
         "",
         {"ET", "IN", "1"},
         nullptr,
         "w.LOG",
         "ERROR: Input w.dat is a folder, not a file",
         {kError},
         Input::Folder},
        {"input is a named pipe",
         "w.dat",
         "",
         {"ET", "IN", "1"},
         nullptr,
         "w.LOG",
         "ERROR: Input w.dat is a named pipe, not a file",
         {kError},
         Input::Fifo},
        {"input is a link to a device",
         "w.dat",
         "",
         {"HR", "IN", "1"},
         nullptr,
         "w.LOG",
         "ERROR: Input w.dat is a device, not a file",
         {kError},
         Input::DeviceLink},
        {"name longer than 256 characters",
         "w.dat",
         day,
         {"ET", "IN", "1"},
         nullptr,
         nullptr,
         "",
         {"ERROR: A file name of this run is longer than 256 characters: " + std::string(253, 'n') + ".dat"},
         Input::File,
         std::string(253, 'n') + ".dat"},
        {"name with a trailing blank",
         "w.dat",
         day,
         {"ET", "IN", "1"},
         nullptr,
         "w.LOG",
         "ERROR: Cannot open file w.dat : No such file or directory",
         {kError},
         Input::File,
         "w.dat "},
        {"name with a line end",
         "w.dat",
         day,
         {"ET", "IN", "1"},
         nullptr,
         "x\n*NOERROR.LOG",
         "ERROR: Cannot open file x\\n*NOERROR.dat: No such file or directory",
         {kError},
         Input::File,
         "x\n*NOERROR.dat"},
        {"last record cut off by the end of the file",
         "w.dat",
         "1996 1 55.8 30.8\n1996 2 50.1 31.0\n1996 3 52",
         {"TP", "DF", "1"},
         nullptr,
         "w.LOG",
         "Invalid record in input file",
         {kError}},
        {"line longer than 1 MiB",
         "w.dat",
         day + std::string(size_t{1} << 21, '1') + "\n",
         {"ET", "IN", "1"},
         nullptr,
         "w.LOG",
         "ERROR: A line of file w.dat is longer than 1048576 characters",
         {kError}},
        {"byte-order mark",
         "w.dat",
         "\xEF\xBB\xBF" + day,
         {"ET", "IN", "1"},
         nullptr,
         "w.LOG",
         "*NOERROR: Program terminated normally",
         {"Program terminated normally."}},
        {"input named with its folder",
         "w.dat",
         day,
         {"ET", "IN", "1"},
         nullptr,
         "w.LOG",
         "*NOERROR: Program terminated normally",
         {"Program terminated normally."},
         Input::File,
         "./w.dat"},
    };
}

TEST(MetconvBadInput, EachRowEndsWithItsLinesAndLeavesTheInputAlone) {
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.what);
        fs::path dir = fs::temp_directory_path() / ("metconv_bad_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        const fs::path input = dir / row.input_name;
        input_kinds::make_input(input, row.kind, row.input);
        if (row.blocking_dir) fs::create_directory(dir / row.blocking_dir);

        auto old = fs::current_path();
        fs::current_path(dir);
        std::vector<std::string> args = {row.what == std::string("missing input") ? "nosuch.dat"
                                         : row.name_arg.empty()                   ? row.input_name
                                                                                  : row.name_arg};
        args.insert(args.end(), row.args.begin(), row.args.end());
        auto console = common::Connection::in_memory(6, "console");
        common::RunOutcome outcome = weather::run_metconv(args, *console);
        fs::current_path(old);

        ASSERT_GE(outcome.console.size(), row.console_tail.size());
        std::vector<std::string> tail(outcome.console.end() - static_cast<long>(row.console_tail.size()),
                                      outcome.console.end());
        EXPECT_EQ(tail, row.console_tail);
        if (row.log_name) {
            EXPECT_EQ(read_file(dir / row.log_name), common::fixed(row.log, 256) + "\r\n");
        } else {
            EXPECT_FALSE(outcome.log_line.has_value());
        }
        if (row.kind == Input::File) {
            EXPECT_EQ(read_file(input), row.input);
        }
        fs::remove_all(dir);
    }
}

}  // namespace
