#include "soilcalc/wtvoldrn.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "common/fixed_text.h"
#include "common/layout.h"
#include "common/record_write.h"
#include "soilcalc/messages.h"

namespace pedopre {
namespace {

// Grid of suctions and water-table depths: 1001 points 1 cm apart, 0 to 1000 cm.
constexpr int kSteps = 1001;
constexpr float kDz = 1.0f;             // grid step (cm)
constexpr float kProfileBottom = 1000.0f;  // bottom of the deepest layer (cm)
constexpr int kWdvRows = 201;           // .WDV rows per layer: 0 to 200 cm
constexpr float kWdvDepth = 200.0f;     // deepest water table of the .WDV file (cm)
constexpr float kVolumeCap = 100.0f;    // largest drained volume of the .OUT table (cm)

// Water-table depths of the .OUT table (cm); the first and last rows are fixed.
constexpr std::array<int32_t, 20> kOutDepths = {0,  3,  6,  9,  12, 15,  20,  25,  30,  35,
                                                40, 45, 60, 75, 90, 120, 150, 200, 500, 1000};

// Checks what the grid walk and the layer search need: 1 to 9 layers, 2 to
// 100 points per layer, bottoms of the upper layers at or below the surface.
bool valid_table(const SoilTable& soil) {
    if (soil.nlayer < 1 || soil.nlayer > kMaxLayers) {
        set_error("ERROR: The soil profile needs 1 to 9 layers");
        return false;
    }
    for (int l = 0; l < soil.nlayer; ++l) {
        if (soil.npts[l] < 2 || soil.npts[l] > kMaxPoints) {
            set_error("ERROR: The characteristic of layer " + std::to_string(l + 1) +
                      " needs 2 to 100 points");
            return false;
        }
        if (l + 1 < soil.nlayer && !(soil.zbot[l] >= 0.0f && std::isfinite(soil.zbot[l]))) {
            set_error("ERROR: The bottom of layer " + std::to_string(l + 1) +
                      " lies above the soil surface");
            return false;
        }
    }
    return true;
}

// Water content of layer l's soil at every grid suction: linear in suction
// between the points of the characteristic, advancing at most one point per
// 1-cm step. Beyond the driest point the water content stays at its value.
void water_content_on_grid(const SoilTable& soil, int l, const std::array<float, kSteps>& z,
                           float* th) {
    const auto& head = soil.head[l];
    const auto& theta = soil.theta[l];
    const int32_t npts = soil.npts[l];
    // Slope of the characteristic between points j-1 and j (1-based); two
    // points at the same suction make a step, whose slope is never used.
    auto slope = [&](int32_t j) {
        float dh = head[j - 1] - head[j - 2];
        return dh == 0.0f ? 0.0f : (theta[j - 1] - theta[j - 2]) / dh;
    };
    th[0] = theta[0];
    int32_t j = 2;
    float s = slope(j);
    int i = 1;
    for (; i < kSteps; ++i) {
        if (z[i] < head[j - 1]) {
            th[i] = th[i - 1] + s * kDz;
        } else {
            j = j + 1;
            if (j > npts) {
                th[i] = theta[npts - 1];
                break;
            }
            s = slope(j);
            th[i] = theta[j - 2];
        }
    }
    for (++i; i < kSteps; ++i) th[i] = theta[npts - 1];
}

}  // namespace

int32_t WTVOLDRN(Context& ctx, int wtd_unit, int out_unit, const std::string& wdv_name,
                 const SoilTable& soil) {
    static const common::Layout kText("(/,/,1X,A)");
    static const common::Layout kLayers(
        "(' ',10X,'# OF LAYERS = ',I2,/,' DEPTH AT BOTTOM OF EACH ','LAYER (CM) :',/,1X,5F10.1,/,"
        "1X,4F10.1)");
    static const common::Layout kGridLine("(/,' CALCULATED USING ',I5,' STEPS OF',F6.2,' CM THICKNESS')");
    static const common::Layout kLayerHead(
        "(' ',/,/,/,35X,'LAYER=',I2,/,/,20X,'PRESSURE HEAD',10X,'THETA')");
    static const common::Layout kPoint("(' ',F29.1,F19.3)");
    static const common::Layout kOutputs("(5(/),1X,A)");
    static const common::Layout kTableHead(
        "(22X,' WATER TABLE',10X,'VOLUME',12X,'POROSITY',/,25X,' (CM)  ',12X,' (CM) ',12X,"
        "' (CM/CM)')");
    static const common::Layout kTableRow("(' ',F29.2,F20.3,10X,F10.5)");
    static const common::Layout kOutHead("('@WATER TABLE',3X,'VOLUME',/,2X,' (CM)  ',6X,' (CM) ')");
    static const common::Layout kOutRow("(1X,F6.1,5X,F8.3)");
    static const common::Layout kWdvNlayer("('*NLAYER')");
    static const common::Layout kWdvCount("(I3)");
    static const common::Layout kWdvLayer("('*TLAYER BLAYER NPTS')");
    static const common::Layout kWdvBounds("(F7.1,F8.1,1X,I4)");
    static const common::Layout kWdvCaption("('*WATER TABLE  VOLUME DRAINED')");
    static const common::Layout kWdvRow("(3X,I5,3X,F11.5)");

    set_routine("WTVOLDRN");
    const std::string wdv_path(common::trim_right(wdv_name));
    common::Connection* wdv = ctx.units.open(kWdvUnit, wdv_path);
    if (!wdv) {
        set_error(msg::cannot_open(wdv_path));
        return -1;
    }
    common::Connection* wtd = ctx.units.get(wtd_unit);
    common::Connection* out = ctx.units.get(out_unit);
    if (!wtd || !out) {
        set_error(msg::kFileIoError);
        return -1;
    }
    if (!valid_table(soil)) return -1;
    const int32_t nlayer = soil.nlayer;

    // Echo of the inputs, with the bottoms as given.
    common::write_record(*wtd, kText, {"INPUTS:"});
    {
        common::StatementWriter w(*wtd, kLayers);
        w << nlayer;
        for (int l = 0; l < nlayer; ++l) w << soil.zbot[l];
        w.finish();
    }
    // The deepest layer reaches below the deepest water table of the grid.
    std::array<float, kMaxLayers> zbot = soil.zbot;
    zbot[nlayer - 1] = kProfileBottom;
    common::write_record(*wtd, kGridLine, {int32_t{kSteps}, kDz});
    for (int l = 0; l < nlayer; ++l) {
        common::write_record(*wtd, kLayerHead, {int32_t{l + 1}});
        for (int j = 0; j < soil.npts[l]; ++j)
            common::write_record(*wtd, kPoint, {soil.head[l][j], soil.theta[l][j]});
    }

    std::array<float, kSteps> z{};
    z[0] = 0.0f;
    for (int i = 1; i < kSteps; ++i) z[i] = z[i - 1] + kDz;

    // th[l][i]: water content of layer l at suction z[i].
    std::vector<std::array<float, kSteps>> th(static_cast<size_t>(nlayer));
    for (int l = 0; l < nlayer; ++l) water_content_on_grid(soil, l, z, th[l].data());

    // w[l][i]: drained depth (cm) of a uniform column of layer l's soil of
    // height z[i] above a water table, by the trapezoidal rule.
    std::vector<std::array<float, kSteps>> w(static_cast<size_t>(nlayer));
    common::write_record(*wdv, kWdvNlayer, {});
    common::write_record(*wdv, kWdvCount, {nlayer});
    float top = 0.0f;
    for (int l = 0; l < nlayer; ++l) {
        const float theta_s = th[l][0];
        w[l][0] = 0.0f;
        common::write_record(*wdv, kWdvLayer, {});
        common::write_record(*wdv, kWdvBounds, {top, zbot[l], int32_t{kWdvRows}});
        common::write_record(*wdv, kWdvCaption, {});
        common::write_record(*wdv, kWdvRow, {int32_t{0}, 0.0f});
        top = zbot[l];
        for (int i = 1; i < kSteps; ++i) {
            w[l][i] = w[l][i - 1] +
                      (z[i] - z[i - 1]) * 0.5f * ((theta_s - th[l][i]) + (theta_s - th[l][i - 1]));
            if (z[i] <= kWdvDepth)
                common::write_record(*wdv, kWdvRow,
                                  {static_cast<int32_t>(std::lround(z[i])), w[l][i]});
        }
    }

    // Drained volume (cm) of the layered profile for the water table at z[k].
    std::array<float, kSteps> vol{};
    vol[0] = 0.0f;
    for (int k = 1; k < kSteps; ++k) {
        const float d = z[k];
        int m = 0;  // layer holding the water table (0-based)
        while (m < nlayer - 1 && !(d <= zbot[m])) ++m;
        // Grid index (1-based) of the suction at the top of each layer: the
        // surface, then the bottom of each layer above the water table; the
        // truncation takes the whole cm of smaller suction.
        int32_t upper = static_cast<int32_t>(d / kDz + 1.0f);
        float sum = 0.0f;
        for (int n = 0; n < m; ++n) {
            int32_t lower = static_cast<int32_t>((d - zbot[n]) / kDz + 1.0f);
            sum = sum + (w[n][upper - 1] - w[n][lower - 1]);
            upper = lower;
        }
        sum = sum + w[m][upper - 1];
        vol[k] = sum;
    }

    // Report table every 10 cm; each porosity is the slope over the last cm.
    common::write_record(*wtd, kOutputs, {"OUTPUTS:"});
    common::write_record(*wtd, kTableHead, {});
    for (int k = 0; k < kSteps; k += 10) {
        float por;
        if (k == 0) por = 0.0f;
        else if (k < kSteps - 1) por = (vol[k] - vol[k - 1]) / (z[k] - z[k - 1]);
        else por = (vol[k - 1] - vol[k - 2]) / (z[k - 1] - z[k - 2]);
        common::write_record(*wtd, kTableRow, {z[k], vol[k], por});
    }

    // The 20-row section of the .OUT file that the soil input file takes.
    common::write_record(*out, kOutHead, {});
    for (size_t r = 0; r < kOutDepths.size(); ++r) {
        float depth = static_cast<float>(kOutDepths[r]);
        float volume;
        if (r == 0) volume = 0.0f;
        else if (r + 1 == kOutDepths.size()) volume = kVolumeCap;
        else volume = std::min(vol[static_cast<size_t>(kOutDepths[r])], kVolumeCap);
        common::write_record(*out, kOutRow, {depth, volume});
    }

    if (!ctx.units.close(kWdvUnit)) {
        set_error(msg::cannot_open(wdv_path));
        return -1;
    }
    return 0;
}

}  // namespace pedopre
