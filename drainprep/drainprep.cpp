#include "drainprep/drainprep.h"

#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <string_view>

#include "common/connection.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/printed_value.h"
#include "common/version.h"
#include "soilcalc/messages.h"
#include "soilcalc/run_state.h"
#include "soilprep/file_names.h"
#include "soilprep/pedopre.h"
#include "soilprep/soil_input.h"
#include "soilprep/soil_run.h"
#include "weather/metconv.h"

namespace drainprep {
namespace {

// The disk, remembering the names of the files a run writes.
class RecordingDisk final : public common::FileSystem {
  public:
    std::unique_ptr<common::File> open_read(const std::string& path, std::string& err) override {
        return disk_.open_read(path, err);
    }
    std::unique_ptr<common::File> open_write(const std::string& path, std::string& err) override {
        written_.insert(path);
        return disk_.open_write(path, err);
    }
    std::unique_ptr<common::LogFile> open_log(const std::string& path, std::string& err) override {
        written_.insert(path);
        return disk_.open_log(path, err);
    }
    common::FileType type(const std::string& path) override { return disk_.type(path); }
    std::string identity(const std::string& path) override { return disk_.identity(path); }
    bool remove(const std::string& path, std::string& err) override { return disk_.remove(path, err); }
    void remove_leftovers(const std::vector<std::string>& paths) override { disk_.remove_leftovers(paths); }

    // The texts of the files written that stand after the run.
    Files read_back() {
        Files files;
        for (const std::string& path : written_) {
            std::string err;
            auto file = disk_.open_read(path, err);
            if (!file) continue;
            std::string text;
            char buf[1 << 16];
            for (int64_t k; (k = file->read(buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(k));
            files[path] = std::move(text);
        }
        return files;
    }

  private:
    common::DiskFileSystem disk_;
    std::set<std::string> written_;
};

using Driver = common::RunOutcome (*)(const std::vector<std::string>&, common::Connection&, const common::RunOptions&);

// One run of a driver on `fs`, without the floating-point trap (it would
// end the caller's process).
Outcome run(Driver driver, const std::vector<std::string>& args, common::FileSystem& fs) {
    auto console = common::Connection::in_memory(6, "console");
    common::RunOutcome r = driver(args, *console, {.traps = false, .files = &fs});
    Outcome o;
    o.log = r.log_line.value_or("");
    o.ok = r.ok;
    o.console = std::move(r.console);
    return o;
}

Outcome in_memory(Driver driver, const std::vector<std::string>& args, const Files& files) {
    common::MemoryFileSystem fs;
    for (const auto& [name, text] : files) fs.put(name, text);
    Outcome o = run(driver, args, fs);
    for (const std::string& name : fs.names()) o.files[name] = *fs.get(name);
    return o;
}

Outcome on_disk(Driver driver, const std::vector<std::string>& args) {
    RecordingDisk fs;
    Outcome o = run(driver, args, fs);
    o.files = fs.read_back();
    return o;
}

std::string without_line_end(std::string record) {
    while (!record.empty() && (record.back() == '\n' || record.back() == '\r')) record.pop_back();
    return record;
}

// A value as its file holds it, NaN where the field cannot be read back.
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
float held(std::optional<float> v) {
    return v ? *v : kNaN;
}
float fixed_field(float v, int w, int d) {
    return held(common::printed_fixed(v, w, d));
}
float free_field(float v) {
    return held(common::printed_free(v));
}

// The log record of a run that ended with `stop` (none: normally), as the
// driver writes it, without its line end.
std::string log_record(const soilprep::SoilStop& stop) {
    std::string text = stop.text.empty() ? std::string(soilcalc::msg::kNormal)
                       : stop.full_field ? common::fixed(stop.text, soilcalc::kErrorLength)
                                         : stop.text.substr(0, soilcalc::kErrorLength);
    std::string record;
    common::format_free(record, {text});
    return without_line_end(std::move(record));
}

// The tables of the steps a run completed, at the precision of their files.
void fill_tables(const soilprep::SoilRun& run, SoilTables& t) {
    using namespace soilcalc;
    using namespace soilprep;
    const SoilTable& soil = run.soil;
    enum { kCharacteristic = 1, kVolume, kConductivity, kFlux, kGreenAmpt, kSin };
    if (run.steps_done >= kCharacteristic) {
        t.layers.resize(static_cast<size_t>(soil.nlayer));
        for (int32_t l = 0; l < soil.nlayer; ++l) {
            SoilTables::Layer& layer = t.layers[static_cast<size_t>(l)];
            for (int32_t j = 0; j < soil.npts[l]; ++j) {  // .WTD: (F29.1, F19.3)
                layer.suction.push_back(fixed_field(soil.head[l][j], 29, 1));
                layer.theta.push_back(fixed_field(soil.theta[l][j], 19, 3));
            }
        }
    }
    for (size_t l = 0; l < run.conductivity.size() && l < t.layers.size(); ++l) {
        const ConductivityLayer& c = run.conductivity[l];
        SoilTables::Layer& layer = t.layers[l];
        for (int32_t j = 0; j < c.rows; ++j) {  // .MQ: (F10.3, F10.1, F15.9)
            layer.k_theta.push_back(fixed_field(c.theta[j], 10, 3));
            layer.k_head.push_back(fixed_field(c.head[j], 10, 1));
            layer.k_cond.push_back(fixed_field(c.cond[j], 15, 9));
        }
        layer.wetting_front_suction = fixed_field(c.front.swf, 9, 4);
    }
    if (run.steps_done >= kVolume) {
        const DrainedVolume& dv = run.volume;  // .WTD: (F29.2, F20.3, F10.5)
        for (int k = 0; k < kGridPoints; k += kListingStep)
            t.drainage.push_back(
                {fixed_field(dv.z[k], 29, 2), fixed_field(dv.vol[k], 20, 3), fixed_field(dv.porosity(k), 10, 5)});
    }
    if (run.flux.depths_found) {
        for (int k = 0; k < kFluxes; ++k)  // .UPQ: (F7.2, F6.4)
            t.upward_flux.push_back({fixed_field(kUpwardFluxes[k], 6, 4), fixed_field(run.flux.depth[k], 7, 2)});
    }
    if (run.steps_done >= kGreenAmpt) {
        const GreenAmpt& g = run.green_ampt;
        for (int i = 0; i < kGreenAmptRows; ++i)
            t.green_ampt.push_back({free_field(g.depth[i]), free_field(g.a[i]), free_field(g.b[i])});
    }
    if (run.steps_done >= kSin) {
        const SinTables& s = run.sin;
        auto& out = t.sin;
        out.title = common::fixed(s.title, 80);
        for (int32_t j = 0; j < s.npts; ++j) {  // (F10.3, F10.0)
            out.theta.push_back(fixed_field(s.theta[j], 10, 3));
            out.head.push_back(fixed_field(s.head[j], 10, 0));
        }
        for (int i = 0; i < kSinDepths; ++i) {  // (F10.1, F10.3, F10.4)
            out.depth.push_back(fixed_field(s.rows.depth[i], 10, 1));
            out.volume.push_back(fixed_field(s.rows.volume[i], 10, 3));
            out.upflux.push_back(fixed_field(s.rows.upflux[i], 10, 4));
        }
        for (int i = 0; i < kSinGreenAmpt; ++i) {  // (F10.1, F10.2, F10.2)
            out.ga_depth.push_back(fixed_field(s.rows.ga_depth[i], 10, 1));
            out.ga_a.push_back(fixed_field(s.rows.ga_a[i], 10, 2));
            out.ga_b.push_back(fixed_field(s.rows.ga_b[i], 10, 2));
        }
    }
}

}  // namespace

SoilTables soil_tables(std::string_view input_text, std::string_view input_name) {
    using namespace soilcalc;
    using namespace soilprep;
    const std::string name(input_name);
    auto in = common::Connection::in_memory(0, name, std::string(input_text));
    set_routine("PEDOPRE");
    // The names a run of PEDOPRE on `input_name` gives its files, the log's
    // lines among them; a name too long is refused as the program refuses it.
    FileNames f;
    std::string too_long;
    SoilStop stop;
    int32_t vgflag = 0;
    if (!form_names(name, f, too_long))
        stop = {msg::name_too_long(too_long), false};
    else
        stop = read_input_head(*in, name, vgflag);
    SoilRun run;
    if (stop.text.empty()) {
        in->rewind();
        const SoilInput input = read_soil_input(*in, vgflag);
        stop = run_soil_steps(input, {f.infile, f.mq, f.out}, nullptr, run);
    }
    SoilTables t;
    t.ok = stop.text.empty();
    t.log = log_record(stop);
    fill_tables(run, t);
    return t;
}

Outcome pedopre(const std::vector<std::string>& args, Files files) {
    return in_memory(soilprep::run_pedopre, args, files);
}
Outcome metconv(const std::vector<std::string>& args, Files files) {
    return in_memory(weather::run_metconv, args, files);
}
Outcome pedopre_on_disk(const std::vector<std::string>& args) {
    return on_disk(soilprep::run_pedopre, args);
}
Outcome metconv_on_disk(const std::vector<std::string>& args) {
    return on_disk(weather::run_metconv, args);
}
std::string version() {
    return std::string(common::kVersion);
}

}  // namespace drainprep
