// The steps of a soil run in their order, on numbers: the characteristic of
// either input form, the drained volumes, the conductivity tables, the
// upward flux, the Green-Ampt parameters and the soil input file. Every
// value that a step takes from a file an earlier step wrote is read back in
// memory at the precision that file holds it: the conductivity file twice
// (upward flux, Green-Ampt), the report file once (soil input file). The main
// input is read once; its measured points are used twice, as given (the
// characteristic, then the conductivity).
//
// A run is driven with the files it writes, or without any: the files are
// written through SoilFiles as each value is known, in the order of the
// files' records, so that a run that stops keeps what it wrote before.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "soilcalc/characteristic.h"
#include "soilcalc/conductivity.h"
#include "soilcalc/conductivity_layer.h"
#include "soilcalc/grnampt.h"
#include "soilcalc/upflux.h"
#include "soilcalc/wtvoldrn.h"
#include "soilprep/mhinput.h"
#include "soilprep/soil_input.h"
#include "soilprep/soil_stop.h"

namespace soilprep {

// The files a run writes beside the ones the driver keeps open all along
// (listing, report), as the steps open and close them.
enum class SoilFile : uint8_t { Mis, Mq, Sav, Wdv, Upq, Sin };

// Where the values go as the steps make them. Each call writes its records;
// open and close return the stop of a failure, or an empty one.
class SoilFiles {
  public:
    virtual ~SoilFiles() = default;
    virtual SoilStop open(SoilFile file) = 0;
    virtual SoilStop close(SoilFile file) = 0;

    // Characteristic: the title and layer counts; a layer's points as the
    // .MIS file takes them; the notices of the repairs.
    virtual void head(const std::string& title, int32_t nlayer, bool van_genuchten) = 0;
    virtual void mis_layer(float top, float zbot, int32_t n, const float* theta, const float* head,
                           bool van_genuchten) = 0;
    virtual void saturated_notice(float theta_s) = 0;
    virtual void extended_notice(int32_t layer) = 0;

    // Drained volume: the echo of the table, then the tables of the volumes.
    virtual void volume_inputs(const soilcalc::SoilTable& soil) = 0;
    virtual void volumes(const soilcalc::SoilTable& soil, const soilcalc::DrainedVolume& dv,
                         const std::array<float, soilcalc::kVolumeRows>& rows) = 0;

    // Conductivity: the title and count (measured form), a layer's block,
    // the summary of wetting-front suctions and the closing record.
    virtual void mq_head(const std::string& title, int32_t nlayer) = 0;
    virtual void conductivity_layer(const soilcalc::ConductivityLayer& layer) = 0;
    virtual void mq_summary(bool van_genuchten, int32_t nlayer, const float* zbot, const float* swf) = 0;
    virtual void mq_closing(bool van_genuchten, float gadepth, float rootdepth, int32_t lsin) = 0;

    // Upward flux: the echo of the tables as read back (false when the
    // title could not be written), the notices, the depths, the fitted rows.
    virtual bool upq_title(const std::string& title) = 0;
    virtual void upq_layer_head(int32_t layer, float bottom) = 0;
    virtual void upq_layer_rows(int32_t n, const float* tension, const float* cond) = 0;
    virtual void flux_notice(const soilcalc::FluxNotice& notice) = 0;
    virtual void upq_depths(const std::array<float, soilcalc::kFluxes>& depth) = 0;
    virtual void flux_section(const soilcalc::UpwardFlux& u) = 0;

    virtual void green_ampt(const soilcalc::GreenAmpt& g) = 0;
    virtual void sin(const SinTables& s) = 0;
};

// Names the log lines give the files of a run.
struct SoilNames {
    std::string input;  // the main input as named on the command line
    std::string mq;     // the conductivity file
    std::string out;    // the report file
};

// The run's values, as far as it got.
struct SoilRun {
    soilcalc::SoilTable soil;                                      // characteristic after the repairs
    std::vector<MeasuredLayerInput> points;                        // measured form: the points as given
    std::vector<std::array<float, soilcalc::kVgPoints>> vg_theta;  // van Genuchten form: water content at kVgSuctions
    soilcalc::DrainedVolume volume;
    std::array<float, soilcalc::kVolumeRows> volume_rows{};  // drained volume of the soil input file's depths (cm)
    std::vector<soilcalc::ConductivityLayer> conductivity;
    soilcalc::MqTables mq;  // the conductivity file's closing values
    soilcalc::UpwardFlux flux;
    soilcalc::GreenAmpt green_ampt;
    SinTables sin;
    // Steps done, in order: characteristic, volume, conductivity, flux, green_ampt, sin.
    int steps_done = 0;
};

// The steps one by one, in the order run_soil_steps runs them, after
// begin_soil_run. Each returns its stop, empty text when it completed.
void begin_soil_run(const SoilInput& input, SoilRun& run);
SoilStop characteristic_step(const SoilInput& input, const SoilNames& names, SoilFiles* files, SoilRun& run);
SoilStop volume_step(SoilFiles* files, SoilRun& run);
SoilStop conductivity_step(const SoilInput& input, const SoilNames& names, SoilFiles* files, SoilRun& run);
SoilStop upward_flux_step(const SoilInput& input, const SoilNames& names, SoilFiles* files, SoilRun& run);
SoilStop green_ampt_step(const SoilInput& input, const SoilNames& names, SoilFiles* files, SoilRun& run);
SoilStop sin_step(const SoilNames& names, SoilFiles* files, SoilRun& run);

// Runs the steps on the input read; writes through `files` when it is not
// null. Returns the stop, empty text when the run completed. The routine
// name of the step running is set for the floating-point trap.
SoilStop run_soil_steps(const SoilInput& input, const SoilNames& names, SoilFiles* files, SoilRun& run);

// The upward-flux and Green-Ampt steps on conductivity tables read as `r`
// says from the file named mq_name: the stop of a read that failed, of
// tables the step cannot use or of the step itself.
SoilStop upward_flux_step(const soilcalc::MqTables& t, const soilcalc::MqRead& r, const std::string& mq_name,
                          SoilFiles* files, SoilRun& run);
SoilStop green_ampt_step(const soilcalc::MqTables& t, const soilcalc::MqRead& r, const std::string& mq_name,
                         SoilFiles* files, SoilRun& run);

// The conductivity file as read back, column by column at the precision it
// holds them: what read_mq gives on the file written from `layers`, the
// summary and the closing record.
soilcalc::MqRead read_back_mq(const std::string& title, const std::vector<soilcalc::ConductivityLayer>& layers,
                              const SoilInput& input, soilcalc::MqColumns columns, soilcalc::MqTables& t);

}  // namespace soilprep
