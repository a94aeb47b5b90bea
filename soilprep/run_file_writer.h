// The files of a soil run, each written through its format owner as the
// steps make their values: the writer the PEDOPRE driver hands the steps.
#pragma once

#include <array>
#include <string>

#include "common/connection.h"
#include "common/fixed_text.h"
#include "common/free_form.h"
#include "soilcalc/messages.h"
#include "soilprep/mis_file.h"
#include "soilprep/mq_file.h"
#include "soilprep/out_file.h"
#include "soilprep/sav_file.h"
#include "soilprep/soil_run.h"
#include "soilprep/upq_file.h"
#include "soilprep/wdv_file.h"
#include "soilprep/wtd_file.h"

namespace soilprep {

// The connections of a run, by stream: the main input, the files open for
// the whole run and the files the steps open and close.
enum class Stream : int { Input, Out, Wtd, Mis, Mq, Sav, Wdv, Sin, Upq };

class RunFileWriter final : public SoilFiles {
  public:
    // The names of the files the steps open themselves; the report file is
    // named for the line of a failure to end it.
    struct Names {
        std::string wdv, upq, sin, out;
    };
    RunFileWriter(common::UnitTable& units, common::Connection* console, Names names)
        : units_(units), console_(console), f_(std::move(names)) {}

    SoilStop open(SoilFile file) override {
        switch (file) {
            case SoilFile::Wdv:
                return open_step_file(Stream::Wdv, f_.wdv);
            case SoilFile::Upq:
                return open_step_file(Stream::Upq, f_.upq);
            case SoilFile::Sin: {
                // The report file is complete: it ends before the soil input
                // file is assembled from it.
                common::Connection* out = get(Stream::Out);
                const std::string path = out ? out->path() : f_.out;
                if (!units_.close(static_cast<int>(Stream::Out)))
                    return {soilcalc::msg::cannot_write(path, units_.last_error()), false};
                return open_step_file(Stream::Sin, f_.sin);
            }
            default:
                return {};
        }
    }
    SoilStop close(SoilFile file) override {
        const Stream s = stream_of(file);
        common::Connection* c = get(s);
        if (!c) return {};
        const std::string path = c->path();
        if (!units_.close(static_cast<int>(s))) return {soilcalc::msg::cannot_write(path, units_.last_error()), true};
        return {};
    }

    void head(const std::string& title, int32_t nlayer, bool van_genuchten) override {
        write_wtd_title(wtd(), title);
        if (van_genuchten) mq_head(title, nlayer);
        write_mis_count(*get(Stream::Mis), nlayer);
    }
    void mis_layer(float top, float zbot, int32_t n, const float* theta, const float* head,
                   bool van_genuchten) override {
        write_mis_layer(*get(Stream::Mis), top, zbot, n, theta, head,
                        van_genuchten ? MisPoints::VanGenuchten : MisPoints::Measured);
    }
    void saturated_notice(float theta_s) override {
        write_no_saturated_notice(wtd());
        if (console_) common::write_free(*console_, {" fix theta saturated=", theta_s});
    }
    void extended_notice(int32_t layer) override { write_extended_notice(wtd(), layer); }

    void volume_inputs(const soilcalc::SoilTable& soil) override {
        // Echo of the inputs, with the bottoms as given.
        write_wtd_inputs(wtd(), soil.nlayer, soil.zbot.data());
        write_wtd_grid(wtd(), soilcalc::kGridPoints, soilcalc::kGridStep);
        for (int l = 0; l < soil.nlayer; ++l)
            write_wtd_layer(wtd(), l + 1, soil.npts[l], soil.head[l].data(), soil.theta[l].data());
    }
    void volumes(const soilcalc::SoilTable& soil, const soilcalc::DrainedVolume& dv,
                 const std::array<float, soilcalc::kVolumeRows>& rows) override {
        write_wdv(*get(Stream::Wdv), soil, dv);
        // Report table every 10 cm; each porosity is the slope over the last cm.
        write_wtd_table_head(wtd());
        for (int k = 0; k < soilcalc::kGridPoints; k += soilcalc::kListingStep)
            write_wtd_table_row(wtd(), dv.z[k], dv.vol[k], dv.porosity(k));
        write_out_volume_head(out());
        for (int r = 0; r < soilcalc::kVolumeRows; ++r)
            write_out_volume_row(out(), static_cast<float>(soilcalc::kVolumeDepthsCm[r]), rows[r]);
    }

    void mq_head(const std::string& title, int32_t nlayer) override {
        write_mq_title(mq(), title);
        write_mq_count(mq(), nlayer);
    }
    void conductivity_layer(const soilcalc::ConductivityLayer& c) override {
        write_mq_layer_head(mq(), c.rows, c.k_header, c.zbot);
        write_mq_rows(mq(), c.rows, c.theta, c.head, c.cond);
        write_sav_block(*get(Stream::Sav), c.zbot, c.ksat, c.sav_head, c.front, c.rows);
    }
    void mq_summary(bool van_genuchten, int32_t nlayer, const float* zbot, const float* swf) override {
        write_mq_summary(mq(), van_genuchten ? MqForm::VanGenuchten : MqForm::Measured, nlayer, zbot, swf);
    }
    void mq_closing(bool van_genuchten, float gadepth, float rootdepth, int32_t lsin) override {
        write_mq_closing(mq(), van_genuchten ? MqForm::VanGenuchten : MqForm::Measured, gadepth, rootdepth, lsin);
    }

    bool upq_title(const std::string& title) override { return write_upq_title(upq(), title); }
    void upq_layer_head(int32_t layer, float bottom) override { write_upq_layer_head(upq(), layer, bottom); }
    void upq_layer_rows(int32_t n, const float* tension, const float* cond) override {
        write_upq_layer_rows(upq(), n, tension, cond);
    }
    void flux_notice(const soilcalc::FluxNotice& notice) override {
        switch (notice.kind) {
            case soilcalc::FluxNotice::Kind::Reduction:
                write_out_reduction_notice(out(), notice.q, notice.layer, notice.tension, notice.reduced);
                break;
            case soilcalc::FluxNotice::Kind::BelowBottom:
                // A water table below the profile shows on the console as well.
                write_out_below_bottom_notice(out(), notice.q, notice.layer);
                if (console_) write_out_below_bottom_notice(*console_, notice.q, notice.layer);
                break;
            case soilcalc::FluxNotice::Kind::CannotFind:
                write_out_cannot_find_notice(out(), notice.q, notice.layer);
                break;
        }
    }
    void upq_depths(const std::array<float, soilcalc::kFluxes>& depth) override {
        write_flux_caption(upq());
        write_flux_rows(upq(), soilcalc::kFluxes, depth.data(), soilcalc::kUpwardFluxes.data());
    }
    void flux_section(const soilcalc::UpwardFlux& u) override {
        write_out_root_zone_caption(out(), u.half_root_depth);
        write_flux_caption(out());
        write_flux_rows(out(), soilcalc::kSplfitRows, u.grid.data(), u.fitted.data());
    }
    void green_ampt(const soilcalc::GreenAmpt& g) override {
        write_out_green_ampt(out(), g.gadepth, g.depth.data(), g.a.data(), g.b.data());
    }
    void sin(const SinTables& s) override { write_sin(*get(Stream::Sin), s); }

  private:
    static Stream stream_of(SoilFile file) {
        switch (file) {
            case SoilFile::Mis:
                return Stream::Mis;
            case SoilFile::Mq:
                return Stream::Mq;
            case SoilFile::Sav:
                return Stream::Sav;
            case SoilFile::Wdv:
                return Stream::Wdv;
            case SoilFile::Upq:
                return Stream::Upq;
            case SoilFile::Sin:
                return Stream::Sin;
        }
        return Stream::Sin;
    }
    SoilStop open_step_file(Stream s, const std::string& name) {
        const std::string path(common::trim_right(name));
        if (!units_.open(static_cast<int>(s), path))
            return {soilcalc::msg::cannot_open(path, units_.last_error()), true};
        return {};
    }
    common::Connection& wtd() { return *get(Stream::Wtd); }
    common::Connection& out() { return *get(Stream::Out); }
    common::Connection& mq() { return *get(Stream::Mq); }
    common::Connection& upq() { return *get(Stream::Upq); }

    common::Connection* get(Stream s) { return units_.get(static_cast<int>(s)); }

    common::UnitTable& units_;
    common::Connection* console_;
    Names f_;
};

}  // namespace soilprep
