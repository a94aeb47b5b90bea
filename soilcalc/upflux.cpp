#include "soilcalc/upflux.h"

#include <array>
#include <cmath>

#include "common/field_edit.h"
#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"
#include "soilcalc/spline.h"
#include "soilcalc/messages.h"

namespace pedopre {
namespace {

constexpr int kMaxMqLayers = 10;  // layers the tension-conductivity tables hold
constexpr int kMaxMqRows = 100;   // rows per layer
constexpr int kFluxes = kSplfitPoints;

// The steady upward fluxes (cm/hr) whose water-table depths are sought,
// largest first.
constexpr std::array<float, kFluxes> kFlux = {0.5f,   0.2f,   0.15f,  0.1f,   0.075f, 0.05f,
                                              0.025f, 0.02f,  0.015f, 0.012f, 0.01f,  0.0075f,
                                              0.005f, 0.004f, 0.003f, 0.002f, 0.001f, 0.0008f,
                                              0.0006f, 0.0004f, 0.0002f};

constexpr float kTopTension = 1000.0f;     // tension at the reference level (cm)
constexpr float kDeepestBottom = 10000.0f; // the deepest layer reaches this far (cm)
constexpr float kNominalThickness = 5.0f;  // layers above the reference level (cm)
constexpr float kBottomTolerance = 0.1f;   // bisection accepts a miss below this (cm)
constexpr float kMaxDivisor = 5500.0f;     // bisection gives up beyond 1/4096 steps

const char kUpqSuffix[] = ".UPQ";

// Lines of the .UPQ file and the report section.
const common::Layout& title_layout() {
    static const common::Layout k("(A80)");
    return k;
}
const common::Layout& depth_caption() {
    static const common::Layout k("('   DEPTH (CM)  UPFLUX (CM/HR) ')");
    return k;
}
const common::Layout& depth_row() {
    static const common::Layout k("(4X,F7.2,6X,F6.4)");
    return k;
}

// Notices written to the report file (and, for the below-bottom case, the
// console) while the fluxes are integrated. They stand ahead of the report
// section's caption line; the reader of the report file steps over them.
const common::Layout& reduction_notice() {
    static const common::Layout k(
        "(/,/,1X,'FOR UPFLUX=',F10.5,'TENSION AT TOP OF LAYER ',I2,' IS ',F10.5,/,1X,"
        "'THIS IS REDUCED TO ',F10.5)");
    return k;
}
const common::Layout& below_bottom_notice() {
    static const common::Layout k(
        "(1X,'FOR UPFLUX=',F10.5,' WATERTABLE IS BELOW BOTTOM',' OF LAYER',I3,' GO TO NEXT UPFLUX')");
    return k;
}
const common::Layout& cannot_find_notice() {
    static const common::Layout k(
        "(/,/,1X,'FOR UPFLUX=',F10.5,' PROGRAM CANNOT FIND THE ','TENSION AND CONDUCTIVITY AT "
        "BOTTOM OF LAYER',I3)");
    return k;
}
const common::Layout& root_zone_caption() {
    static const common::Layout k(
        "('@TENSION AT ROOT ZONE = 1000 CM, 1/2 MAXIMUM',' ROOT DEPTH (CM) =  ',F5.1)");
    return k;
}

// Failure texts.
const char kUpfluxError[] = "ERROR: UPFLUX error ";

std::string layer_text(int l) { return "layer " + std::to_string(l + 1); }

// A real in the shortest form that reads back to it, for messages.
std::string number(float v) {
    std::string s;
    common::free_real(s, v);
    return s;
}

// The tension-conductivity tables of the profile, wettest row first.
struct Profile {
    int32_t nl = 0;
    std::array<int32_t, kMaxMqLayers> n{};
    std::array<float, kMaxMqLayers> bottom{};  // layer bottoms (cm), later adjusted
    std::array<std::array<float, kMaxMqRows>, kMaxMqLayers> tension{};  // cm, rising
    std::array<std::array<float, kMaxMqRows>, kMaxMqLayers> cond{};     // cm/hr
    float half_root_depth = 0.0f;  // reference level below the surface (cm)
};

// Reads the conductivity file and echoes each layer's table into the .UPQ
// file. Sets the error message and returns false on failure.
bool read_profile(common::Connection& mq, common::Connection& upq, const std::string& mq_path, Profile& p) {
    static const common::Layout kCount("(19X,I2)");
    static const common::Layout kBlock("(/,I3,8X,F10.5,/)");
    static const common::Layout kRow("(20X,F10.2,5X,F15.6)");
    static const common::Layout kSummary("(/,1X)");
    static const common::Layout kLayerHead(
        "(/,/,1X,'LAYER ',I3,' GOES DOWN TO ',F6.0,'CM.',1X,'AND HAS THE TENSION-CONDUCTIVITY "
        "VALUES:',/,/,1X,'  TENSION  CONDUCTIVITY',/,1X,'   (CM)      (CM/HR)')");
    static const common::Layout kEcho("(F8.2,4X,E10.4)");
    using common::ReadStatus;

    auto read_failed = [&] {
        set_error(msg::read_error(mq_path));
        return false;
    };
    std::string title(128, ' ');
    if (common::read_record(mq, title_layout(), {title}) != ReadStatus::Done) return read_failed();
    if (!common::write_record(upq, title_layout(), {title})) return read_failed();
    if (common::read_record(mq, kCount, {p.nl}) != ReadStatus::Done) return read_failed();
    if (p.nl < 1 || p.nl > kMaxMqLayers) {
        set_error("ERROR: The conductivity file gives " + std::to_string(p.nl) +
                  " layers; 1 to 10 are possible");
        return false;
    }
    for (int l = 0; l < p.nl; ++l) {
        int32_t n = 0;
        if (common::read_record(mq, kBlock, {n, p.bottom[l]}) != ReadStatus::Done) return read_failed();
        if (n < 2 || n > kMaxMqRows) {
            set_error("ERROR: The conductivity table of " + layer_text(l) + " has " +
                      std::to_string(n) + " rows; 2 to 100 are needed");
            return false;
        }
        p.n[l] = n;
        common::write_record(upq, kLayerHead, {int32_t{l + 1}, p.bottom[l]});
        // The file lists the driest row first; the table runs the other way.
        for (int32_t j = 1; j <= n; ++j) {
            float head = 0.0f, k = 0.0f;
            if (common::read_record(mq, kRow, {head, k}) != ReadStatus::Done) return read_failed();
            p.tension[l][n - j] = -head;
            p.cond[l][n - j] = k;
        }
        common::StatementWriter w(upq, kEcho);
        for (int32_t i = 0; i < n; ++i) w << p.tension[l][i] << p.cond[l][i];
        w.finish();
    }
    p.bottom[p.nl - 1] = kDeepestBottom;
    if (common::read_record(mq, kSummary, {}) != ReadStatus::Done) return read_failed();
    for (int l = 0; l < p.nl; ++l) {
        int32_t layer = 0;
        float depth = 0.0f, suction = 0.0f;
        if (common::read_free(mq, {layer, depth, suction}) != ReadStatus::Done) return read_failed();
    }
    float gadepth = 0.0f;
    int32_t lsin = 0;
    if (common::read_free(mq, {gadepth, p.half_root_depth, lsin}) != ReadStatus::Done)
        return read_failed();
    return true;
}

// Measures every bottom from the reference level; layers whose bottom lies
// above it, or at most 5 cm below, get a nominal 5 cm at the top.
void adjust_bottoms(Profile& p) {
    float s = 0.0f;
    for (int l = 0; l < p.nl; ++l) {
        float d = p.bottom[l] - p.half_root_depth;
        if (d <= kNominalThickness) {
            s = s + kNominalThickness;
            p.bottom[l] = s;
        } else {
            p.bottom[l] = s + d;
        }
    }
}

enum class Outcome { WaterTable, BelowBottom, Failed };

// Integrates steady upward flow of flux q (cm/hr) down from the reference
// level, where the tension is top (cm), to the water table, layer by layer.
// On WaterTable or BelowBottom, depth holds the water-table depth (cm, in
// adjusted depths) or the adjusted bottom of the layer passed.
Outcome integrate(common::Connection& out, const Profile& p, float q, float top, float& depth,
                  int& layer) {
    float z = 0.0f;
    int l = 0;
    float th = top;  // tension at the top of the current step (cm)
    const float deepest = p.bottom[p.nl - 1];
    for (;;) {
        // Enter layer l with the tension th at its top.
        const auto& tau = p.tension[l];
        const auto& k = p.cond[l];
        const int32_t n = p.n[l];
        int32_t ip = 0;  // first row (1-based) at or above the entering tension
        for (int32_t i = 1; i <= n; ++i) {
            if (tau[i - 1] >= th) {
                ip = i;
                break;
            }
        }
        if (ip == 0) {
            common::write_record(out, reduction_notice(), {q, int32_t{l + 1}, th, tau[n - 1]});
            th = tau[n - 1];
            ip = n;
        }
        if (ip == 1) {
            set_error("ERROR: Tension " + number(th) + " cm at the top of " + layer_text(l) +
                      " does not exceed its wettest tabulated tension");
            layer = l;
            return Outcome::Failed;
        }
        // Every row wetter than the entering tension is a divisor of the flux,
        // and so is the conductivity interpolated at the entering tension. A
        // drier row (a zero printed for a tiny dry conductivity) only enters
        // the interpolation.
        auto nonpositive = [&](int32_t row) {
            set_error("ERROR: The conductivity table of " + layer_text(l) +
                      " has a conductivity of zero or less in row " + std::to_string(row));
            layer = l;
            return Outcome::Failed;
        };
        for (int32_t i = 1; i < ip; ++i)
            if (!(k[i - 1] > 0.0f)) return nonpositive(i);
        int32_t j = ip - 1;
        if (!(tau[ip - 1] > tau[j - 1])) {
            set_error("ERROR: The tensions of " + layer_text(l) + " do not rise at row " +
                      std::to_string(ip));
            layer = l;
            return Outcome::Failed;
        }
        float kh = ((th - tau[j - 1]) / (tau[ip - 1] - tau[j - 1])) * (k[ip - 1] - k[j - 1]) + k[j - 1];
        if (!(kh > 0.0f)) return nonpositive(ip);

        // Steps down the table, from tension th to row j, while they stay
        // within the layer.
        for (;;) {
            float tl = tau[j - 1];
            float kl = k[j - 1];
            float dz = 0.5f * (th - tl) * (1.0f / (1.0f + q / kl) + 1.0f / (1.0f + q / kh));
            if (!(z + dz <= p.bottom[l])) break;
            z = z + dz;
            if (z > deepest) {
                layer = l;
                return Outcome::BelowBottom;
            }
            if (j == 1) {
                depth = z;
                return Outcome::WaterTable;
            }
            th = tl;
            kh = kl;
            j = j - 1;
        }

        // The bottom of layer l lies within the step from row j+1 to row j:
        // find its tension by bisection on the fraction of the interval.
        float f = 0.5f;
        float m = 2.0f;
        float tb = 0.0f, dz = 0.0f;
        for (;;) {
            tb = tau[j] - f * (tau[j] - tau[j - 1]);
            float kb = k[j] - f * (k[j] - k[j - 1]);
            if (!(kb > 0.0f)) return nonpositive(j + 1);
            dz = 0.5f * (th - tb) * (1.0f / (1.0f + q / kb) + 1.0f / (1.0f + q / kh));
            float e = z + dz - p.bottom[l];
            if (std::fabs(e) < kBottomTolerance) break;
            float sigma = e > kBottomTolerance ? 1.0f : -1.0f;
            m = m * 2.0f;
            if (m > kMaxDivisor) {
                common::write_record(out, cannot_find_notice(), {q, int32_t{l + 1}});
                set_error(kUpfluxError);
                layer = l;
                return Outcome::Failed;
            }
            f = f - sigma / m;
        }
        z = z + dz;
        if (z > deepest || l + 1 >= p.nl) {
            layer = l;
            return Outcome::BelowBottom;
        }
        l = l + 1;
        th = tb;
    }
}

}  // namespace

int32_t UPFLUX(Context& ctx, int out_unit, const std::string& base, const std::string& mq_name) {
    set_routine("UPFLUX");
    const std::string mq_path(common::trim_right(mq_name));
    const std::string upq_path = common::fixed(std::string(common::trim_right(base)) + kUpqSuffix, kPathLength);
    common::Connection* mq = ctx.units.open_existing(kUpfluxMqUnit, mq_path);
    common::Connection* upq = mq ? ctx.units.open(kUpqUnit, std::string(common::trim_right(upq_path))) : nullptr;
    common::Connection* out = ctx.units.get(out_unit);
    if (!mq || !upq || !out) {
        set_error(msg::kFileIoError);
        return -1;
    }

    Profile p;
    if (!read_profile(*mq, *upq, mq_path, p)) return -1;
    adjust_bottoms(p);

    // Water-table depth (cm) of each flux.
    std::array<float, kFluxes> w{};
    float top = kTopTension;
    const int32_t n1 = p.n[0];
    for (int k = 0; k < kFluxes; ++k) {
        const float q = kFlux[k];
        if (top >= p.tension[0][n1 - 1]) top = p.tension[0][n1 - 1];
        float depth = 0.0f;
        int layer = 0;
        switch (integrate(*out, p, q, top, depth, layer)) {
            case Outcome::WaterTable:
                w[k] = depth;
                break;
            case Outcome::BelowBottom:
                common::write_record(*out, below_bottom_notice(), {q, int32_t{layer + 1}});
                if (ctx.console) common::write_record(*ctx.console, below_bottom_notice(), {q, int32_t{layer + 1}});
                w[k] = p.bottom[layer];
                break;
            case Outcome::Failed:
                return -1;
        }
    }

    common::write_record(*upq, depth_caption(), {});
    {
        common::StatementWriter wr(*upq, depth_row());
        for (int k = 0; k < kFluxes; ++k) wr << w[k] << kFlux[k];
        wr.finish();
    }

    // The fit divides by the distance between neighbouring depths. Depths
    // that do not deepen along the list (the bisection's tolerance alone can
    // do that in a layered profile) are fitted as they stand.
    for (int k = 1; k < kFluxes; ++k) {
        if (w[k] == w[k - 1]) {
            set_error("ERROR: The water table for the upward flux " + number(kFlux[k]) + " cm/hr (" +
                      number(w[k]) + " cm) is at the same depth as for the flux before it; no spline fits");
            return -1;
        }
    }
    std::array<float, kSplfitRows> fitted{}, grid{};
    if (SPLFIT(kFlux, w, fitted, grid) != 0) {
        set_error("ERROR: No spline fits the water-table depths of the upward fluxes");
        return -1;
    }

    common::write_record(*out, root_zone_caption(), {p.half_root_depth});
    common::write_record(*out, depth_caption(), {});
    for (int i = 0; i < kSplfitRows; ++i) common::write_record(*out, depth_row(), {grid[i], fitted[i]});

    if (!ctx.units.close(kUpqUnit)) {
        set_error(msg::kFileIoError);
        return -1;
    }
    ctx.units.close(kUpfluxMqUnit);
    return 0;
}

}  // namespace pedopre
