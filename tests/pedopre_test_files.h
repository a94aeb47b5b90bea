// Helpers for the PEDOPRE tests: a temporary directory and whole-file reads
// and writes for runs on the disk, the records of a text, and conductivity
// tables (.MQ) given layer by layer, as tables or as the file that the
// conductivity step's own writers make of them.
#pragma once

#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/connection.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "soilcalc/run_state.h"
#include "soilprep/mq_file.h"
#include "soilprep/run_file_writer.h"
#include "soilprep/soil_input.h"
#include "soilprep/soil_run.h"

namespace pedopre_test {

class TempDir {
  public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pedopre-XXXXXX").string();
        path_ = mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void write_file(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The records of a text, without their CR LF.
inline std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        size_t nl = text.find('\n', at);
        if (nl == std::string::npos) nl = text.size();
        size_t end = nl;
        if (end > at && text[end - 1] == '\r') --end;
        out.push_back(text.substr(at, end - at));
        at = nl + 1;
    }
    return out;
}

// One layer of a conductivity table: rows wettest first, as (water content,
// tension in cm, conductivity in cm/hr). The file and the tables hold them
// driest first, with the tension as a negative pressure head.
struct LayerRows {
    float kb;       // layer conductivity of the block header (cm/hr)
    float bottom;   // bottom depth (cm)
    float suction;  // wetting-front suction of the summary (cm)
    std::vector<std::array<float, 3>> rows;
};

// The layer as the reader leaves it.
inline soilcalc::MqLayer mq_layer(const LayerRows& l) {
    soilcalc::MqLayer m;
    m.rows = static_cast<int32_t>(l.rows.size());
    m.k_header = l.kb;
    m.bottom = l.bottom;
    for (int32_t j = 0; j < m.rows; ++j) {
        const auto& r = l.rows[static_cast<size_t>(m.rows - 1 - j)];
        m.theta[j] = r[0];
        m.head[j] = -r[1];
        m.cond[j] = r[2];
    }
    return m;
}

// The tables as read from the file that mq_text() writes (at most 10 layers).
inline soilcalc::MqTables mq_tables(const std::vector<LayerRows>& layers, float gadepth, float root_depth,
                                    int32_t lsin = 1) {
    soilcalc::MqTables t;
    t.nl = static_cast<int32_t>(layers.size());
    for (size_t l = 0; l < layers.size(); ++l) {
        t.layers[l] = mq_layer(layers[l]);
        t.zb[l] = layers[l].bottom;
        t.sf[l] = layers[l].suction;
    }
    t.gadepth = gadepth;
    t.rootdepth = root_depth;
    t.lsin = lsin;
    return t;
}

// The conductivity file of the layers, as the measured-points form writes it.
inline std::string mq_text(const std::vector<LayerRows>& layers, float gadepth, float root_depth, int32_t lsin = 1,
                           const std::string& title = "TEST SOIL") {
    auto mq = common::Connection::in_memory(0, "mq");
    const auto nl = static_cast<int32_t>(layers.size());
    soilprep::write_mq_title(*mq, common::fixed(title, 128));
    soilprep::write_mq_count(*mq, nl);
    std::vector<float> zbot, swf;
    for (const LayerRows& l : layers) {
        const soilcalc::MqLayer m = mq_layer(l);
        soilprep::write_mq_layer_head(*mq, m.rows, m.k_header, m.bottom);
        soilprep::write_mq_rows(*mq, m.rows, m.theta, m.head, m.cond);
        zbot.push_back(l.bottom);
        swf.push_back(l.suction);
    }
    soilprep::write_mq_summary(*mq, soilprep::MqForm::Measured, nl, zbot.data(), swf.data());
    soilprep::write_mq_closing(*mq, soilprep::MqForm::Measured, gadepth, root_depth, lsin);
    mq->flush();
    return mq->memory();
}

// Soil steps run one by one on files in memory, as the driver writes them:
// the main input soil.dat (read into numbers first), the outputs soil.*, the
// console. Open the streams a step writes to, run it, then read the texts.
struct StepFiles {
    common::MemoryFileSystem fs;
    common::UnitTable units;
    common::Connection* console;
    soilprep::RunFileWriter writer;
    soilprep::SoilInput input;
    soilprep::SoilRun run;
    soilprep::SoilNames names{"soil.dat", "soil.MQ", "soil.OUT"};

    explicit StepFiles(const std::string& main_input = {})
        : units(fs),
          console(units.open(99, "console")),
          writer(units, console, {"soil.WDV", "soil.UPQ", "soil.SIN", "soil.OUT"}) {
        if (main_input.empty()) return;
        auto in = common::Connection::in_memory(0, "soil.dat", main_input);
        int32_t vgflag = 0;
        (void)soilprep::read_input_head(*in, "soil.dat", vgflag);
        in->rewind();
        input = soilprep::read_soil_input(*in, vgflag);
        soilprep::begin_soil_run(input, run);
    }
    void open(std::initializer_list<soilprep::Stream> streams) {
        static const char* const kNames[] = {"soil.dat", "soil.OUT", "soil.WTD", "soil.MIS", "soil.MQ",
                                             "soil.SAV", "soil.WDV", "soil.SIN", "soil.UPQ"};
        for (soilprep::Stream s : streams) units.open(static_cast<int>(s), kNames[static_cast<int>(s)]);
    }
    // The text of a file once every stream is closed; empty when there is none.
    std::string text(const std::string& name) {
        units.close_all();
        const std::string* t = fs.get(name);
        return t ? *t : std::string();
    }
};

// The status and the log line's text of a step, as the steps reported them
// before they returned their stops: 0 or -1, the text without trailing blanks.
inline int32_t status_of(const soilprep::SoilStop& s) {
    return s.text.empty() ? 0 : -1;
}
inline std::string error_of(const soilprep::SoilStop& s) {
    return std::string(common::trim_right(s.text));
}

}  // namespace pedopre_test
