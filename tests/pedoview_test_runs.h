// Helpers for the PEDOVIEW tests: a PEDOPRE run and then a PEDOVIEW run on
// files held in memory, and what the run's files hold, counted from the
// files themselves for the expectations of the pages.
#pragma once

#include <string>
#include <vector>

#include "common/connection.h"
#include "common/file_system.h"
#include "soilprep/mq_file.h"
#include "soilprep/pedopre.h"
#include "soilview/pedoview.h"

namespace pedoview_test {

// Runs PEDOPRE on `input` (its text put at `path`), then PEDOVIEW with
// `args` (the path alone when empty). Returns PEDOVIEW's console.
inline std::string run_both(common::MemoryFileSystem& fs, const std::string& path, const std::string& input,
                            std::vector<std::string> args = {}) {
    fs.put(path, input);
    auto pedopre_console = common::Connection::in_memory(0, "console");
    soilprep::run_pedopre({path}, *pedopre_console, {false, &fs});
    auto console = common::Connection::in_memory(0, "console");
    soilview::run_pedoview(args.empty() ? std::vector<std::string>{path} : args, *console, fs);
    console->flush();
    return console->memory();
}

// PEDOVIEW alone on what `fs` holds.
inline std::string view(common::MemoryFileSystem& fs, const std::vector<std::string>& args) {
    auto console = common::Connection::in_memory(0, "console");
    soilview::run_pedoview(args, *console, fs);
    console->flush();
    return console->memory();
}

// The row count of each layer table of a .MQ text, read by the run's own
// reader of the file.
inline std::vector<int> mq_rows(const std::string* mq) {
    std::vector<int> rows;
    if (!mq) return rows;
    auto c = common::Connection::in_memory(0, "mq", *mq);
    soilcalc::MqTables t;
    const soilcalc::MqRead r = soilprep::read_mq(*c, t, soilcalc::MqColumns::All);
    const int32_t layers = r.failed == soilcalc::MqPart::Done || r.failed == soilcalc::MqPart::Summary ||
                                   r.failed == soilcalc::MqPart::Closing
                               ? t.nl
                               : r.layer;
    for (int32_t l = 0; l < layers; ++l) rows.push_back(t.layers[l].rows);
    return rows;
}

// The point count of each layer of a .MIS text: the line after each
// " *NUMBER OF POINTS IN LAYER".
inline std::vector<int> mis_points(const std::string* mis) {
    std::vector<int> points;
    if (!mis) return points;
    const std::string marker = " *NUMBER OF POINTS IN LAYER\r\n";
    for (size_t at = mis->find(marker); at != std::string::npos; at = mis->find(marker, at + 1))
        points.push_back(std::stoi(mis->substr(at + marker.size(), 4)));
    return points;
}

}  // namespace pedoview_test
