// Helpers for the PEDOPRE tests: a temporary directory, whole-file reads and
// writes, and a conductivity file (.MQ) written in exactly the layout that
// the conductivity step produces.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_write.h"

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

// The records of a file, without their CR LF.
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

// One layer of a conductivity file: rows wettest first, as (water content,
// tension in cm, conductivity in cm/hr); the file lists them driest first
// with the tension as a negative pressure head.
struct LayerRows {
    float kb;      // layer conductivity of the block header (cm/hr)
    float bottom;  // bottom depth (cm)
    float suction; // wetting-front suction of the summary (cm)
    std::vector<std::vector<float>> rows;
};

inline std::string mq_text(const std::vector<LayerRows>& layers, float gadepth, float root_depth,
                           int32_t lsin = 1, const std::string& title = "TEST SOIL") {
    static const common::Layout kTitle("(A80)");
    static const common::Layout kCount("(1X,'NUMBER OF LAYERS= ',I2)");
    static const common::Layout kBlock("(' ENTRIES  BOTTOM DEPTH(CM)',/,1X,I2,F8.3,F10.2)");
    static const common::Layout kCaption("(1X,'THETA',15X,'HEAD',10X,'COND-CM/HR')");
    static const common::Layout kRow("(F10.3,10X,F10.1,5X,F15.9)");
    static const common::Layout kSummaryHead("(/,1X,' LAYER #  DEPTH (CM)  SUCTION OF WETTING FRONT (CM)')");
    static const common::Layout kSummaryRow("(3X,I3,5X,F5.0,12X,F9.4)");
    std::string s = common::format_record(kTitle, {common::fixed(title, 128)});
    s += common::format_record(kCount, {static_cast<int32_t>(layers.size())});
    for (const auto& l : layers) {
        s += common::format_record(kBlock, {static_cast<int32_t>(l.rows.size()), l.kb, l.bottom});
        s += common::format_record(kCaption, {});
        for (auto r = l.rows.rbegin(); r != l.rows.rend(); ++r)
            s += common::format_record(kRow, {(*r)[0], -(*r)[1], (*r)[2]});
    }
    s += common::format_record(kSummaryHead, {});
    for (size_t i = 0; i < layers.size(); ++i)
        s += common::format_record(kSummaryRow,
                                {static_cast<int32_t>(i + 1), layers[i].bottom, layers[i].suction});
    s += "\r\n";
    common::format_free(s, {gadepth, root_depth, lsin});
    return s;
}

// Rows at tensions 0, step, 2 step, ... up to `driest` (cm), all with the
// conductivity k (cm/hr), water content falling by 0.001 per row from 0.400.
inline std::vector<std::vector<float>> even_rows(float step, float driest, float k) {
    std::vector<std::vector<float>> rows;
    int i = 0;
    for (float t = 0.0f; t <= driest; t += step, ++i)
        rows.push_back({0.400f - 0.001f * static_cast<float>(i), t, k});
    return rows;
}

}  // namespace pedopre_test
