#include "soilcalc/grnampt.h"

#include <cmath>
#include <limits>

#include "common/field_edit.h"
#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"
#include "soilcalc/messages.h"

namespace pedopre {
namespace {

constexpr int kRows = 10;
// Water-table depths of the Green-Ampt table (cm).
constexpr std::array<float, kRows> kDepth = {0.0f,  10.0f,  20.0f,  40.0f,  60.0f,
                                             80.0f, 100.0f, 150.0f, 200.0f, 1000.0f};

}  // namespace

int32_t IREDMQ(Context& ctx, const std::string& mq_name, GreenAmptInput& in) {
    static const common::Layout kTitle("(A80)");
    static const common::Layout kCount("(19X,I2)");
    static const common::Layout kBlock("(/,I3,F8.3,F10.5,/)");
    static const common::Layout kRow("(F10.4,10X,F10.2,5X,F15.6)");
    static const common::Layout kSummary("(/,1X)");
    using common::ReadStatus;

    common::Connection* c = ctx.units.open_existing(kIredmqUnit, std::string(common::trim_right(mq_name)));
    if (!c) return -1;
    std::string title(80, ' ');
    if (common::read_record(*c, kTitle, {title}) != ReadStatus::Done) return -1;
    if (common::read_record(*c, kCount, {in.nl}) != ReadStatus::Done) return -1;
    if (in.nl < 1 || in.nl > kMqLayers) return -1;
    for (int l = 0; l < in.nl; ++l) {
        float depth = 0.0f;
        if (common::read_record(*c, kBlock, {in.n[l], in.kb[l], depth}) != ReadStatus::Done) return -1;
        if (in.n[l] < 1 || in.n[l] > kMqRows) return -1;
        for (int32_t j = 0; j < in.n[l]; ++j) {
            float cond = 0.0f;
            if (common::read_record(*c, kRow, {in.theta[l][j], in.head[l][j], cond}) != ReadStatus::Done)
                return -1;
        }
    }
    if (common::read_record(*c, kSummary, {}) != ReadStatus::Done) return -1;
    for (int l = 0; l < in.nl; ++l) {
        int32_t layer = 0;
        if (common::read_free(*c, {layer, in.zb[l], in.sf[l]}) != ReadStatus::Done) return -1;
    }
    float root_depth = 0.0f;
    int32_t lsin = 0;
    if (common::read_free(*c, {in.gadepth, root_depth, lsin}) != ReadStatus::Done) return -1;
    if (!ctx.units.close(kIredmqUnit)) return -1;
    return 0;
}

float GRAMTB(float d, const std::array<float, kMqLayers>& zb, const std::array<float, kMqLayers>& kb,
             int32_t nl) {
    float sum = 0.0f;
    float t = 0.0f;  // whole cm reached so far (the truncated bound)
    const int32_t layers = nl < 1 ? 1 : (nl > kMqLayers ? kMqLayers : nl);
    for (int32_t l = 0; l < layers; ++l) {
        if (d < zb[l] || l + 1 == layers) {
            sum = sum + (d - t) * kb[l];
            t = std::trunc(d);
            break;
        }
        sum = sum + (zb[l] - t) * kb[l];
        t = std::trunc(zb[l]);
    }
    // Less than one whole cm: the mean is the surface layer's conductivity.
    if (t == 0.0f) return kb[0];
    return sum / t;
}

float THETA(float psi, const GreenAmptInput& in, int32_t l) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    if (l < 1 || l > in.nl) return nan;
    const auto& th = in.theta[l - 1];
    const auto& ht = in.head[l - 1];
    const int32_t n = in.n[l - 1];
    float y = -psi;
    for (int32_t j = 2; j <= n; ++j) {
        if (y <= ht[j - 1]) {
            float dh = ht[j - 1] - ht[j - 2];
            if (dh == 0.0f) return nan;
            return ((y - ht[j - 2]) * ((th[j - 1] - th[j - 2]) / dh)) + th[j - 2];
        }
    }
    return nan;
}

int32_t GRNAMPT(Context& ctx, int out_unit, const std::string& mq_name) {
    static const common::Layout kCaption("('@Green-Ampt parameters use soil ','properties for top ',F6.1,' cm.')");
    constexpr float kDeepWaterTable = 150.0f;  // suction threshold (cm)

    set_routine("GRNAMPT");
    common::Connection* out = ctx.units.get(out_unit);
    if (!out) {
        set_error(msg::kFileIoError);
        return -1;
    }
    const float threshold = kDeepWaterTable;
    GreenAmptInput in;
    if (IREDMQ(ctx, mq_name, in) != 0) {
        set_error(msg::read_error(mq_name));
        return -1;
    }

    std::array<float, kRows> a{}, b{};
    b[0] = in.kb[0];
    a[0] = 0.0f;
    const int32_t n1 = in.n[0];
    for (int i = 1; i < kRows - 1; ++i) {
        if (kDepth[i] <= in.gadepth) b[i] = GRAMTB(kDepth[i], in.zb, in.kb, in.nl);
        else b[i] = b[i - 1];
        // Suction at the surface in equilibrium with the water table; for a
        // deep water table, the driest suction of the top layer's table.
        float psi = kDepth[i];
        if (psi >= threshold) psi = -in.head[0][0];
        float theta = THETA(psi, in, 1);
        if (std::isnan(theta)) {
            std::string suction;
            common::free_real(suction, psi);
            set_error("ERROR: The top layer's table in the conductivity file gives no water content"
                      " at suction " + suction + " cm");
            return -1;
        }
        a[i] = (in.theta[0][n1 - 1] - theta) * (in.sf[0] * b[i]);
    }
    a[kRows - 1] = a[kRows - 2];
    b[kRows - 1] = b[kRows - 2];

    common::write_record(*out, kCaption, {in.gadepth});
    for (int i = 0; i < kRows; ++i) common::write_free(*out, {kDepth[i], a[i], b[i]});
    return 0;
}

}  // namespace pedopre
