#include "soilcalc/milnqrk.h"

#include <cmath>

#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"
#include "soilcalc/mhgenuch.h"
#include "soilcalc/mq_file.h"
#include "soilcalc/sav1.h"
#include "soilcalc/messages.h"

namespace pedopre {
namespace {

int32_t fail(std::string message) {
    set_error(message);
    return -1;
}

}  // namespace

void CHCKSWC(int32_t& n, CurveColumn& theta, CurveColumn& h) {
    if (lacks_saturated_point(h)) add_saturated_point(n, theta, h);
}

void millington_quirk(const CurveColumn& ws, const CurveColumn& hs, int32_t rows, CurveColumn& kmq) {
    const float q = static_cast<float>(rows - 1);
    for (int32_t i = 2; i <= rows; ++i) {
        // Pore classes j = 2 .. i, each weighted by 2(i - j) + 1 over the
        // square of its class head, the mean of the heads bounding it (cm).
        float sum = 0.0f;
        for (int32_t j = 2; j <= i; ++j) {
            float a = hs[j - 2];
            float b = hs[j - 1];
            sum = sum + static_cast<float>(2 * (i - j) + 1) / (((a + b) * (a + b)) / 4.0f);
        }
        kmq[i - 1] = 270.0f * std::pow(ws[i - 1], 1.3333f) * sum / (q * q);
    }
    kmq[0] = kmq[1];
}

int32_t MILNQRK(Context& ctx, int in_unit, int mq_unit, int sav_unit, const std::string& infile,
                int32_t& lsin) {
    static const common::Layout kTitle("(A80)");

    set_routine("MILNQRK");
    common::Connection* in = ctx.units.open_existing(in_unit, infile);
    if (!in) return fail(msg::cannot_open(infile, ctx.units.last_error()));
    common::Connection* mq = ctx.units.get(mq_unit);
    common::Connection* sav = ctx.units.get(sav_unit);
    if (!mq || !sav) return fail(std::string(msg::kFileIoError));
    const std::string read_error = msg::read_error(common::trim_right(infile));

    std::string title(128, ' ');
    if (common::read_record(*in, kTitle, {title}) != common::ReadStatus::Done) return fail(read_error);
    blank_control_characters(title);
    write_mq_title(*mq, title);
    int32_t nl = 0;
    if (common::read_free(*in, {nl}) != common::ReadStatus::Done) return fail(read_error);
    if (nl < 1 || nl > kMaxLayers) return fail(msg::layer_count(nl));
    write_mq_count(*mq, nl);

    std::array<float, kMaxLayers> zb{}, swf{};
    for (int32_t layer = 1; layer <= nl; ++layer) {
        int32_t n = 0;
        float ks = 0.0f;  // saturated conductivity (cm/hr)
        if (common::read_free(*in, {n, ks, zb[layer - 1]}) != common::ReadStatus::Done) return fail(read_error);
        if (n > kMaxMeasured) return fail(msg::too_many_points(layer, n));
        if (n < 2) return fail(msg::too_few_points(layer, n));
        CurveColumn theta{}, h{};
        {
            common::FreeReader points(*in);
            for (int32_t i = 0; i < n; ++i)
                if (!points.get(theta[i]) || !points.get(h[i])) break;
            if (points.finish() != common::ReadStatus::Done) return fail(read_error);
        }

        CHCKSWC(n, theta, h);

        // Driest first, heads as non-positive pressure heads (cm).
        CurveColumn ws{}, hs{};
        for (int32_t j = 0; j < n; ++j) {
            float head = h[n - 1 - j];
            ws[j] = theta[n - 1 - j];
            hs[j] = head <= 0.0f ? head : -head;
        }
        int32_t rows = n;
        if (regrid_theta_steps(ws, hs, rows, layer) != 0) return -1;

        CurveColumn kmq{};
        millington_quirk(ws, hs, rows, kmq);
        write_mq_layer_head(*mq, rows, ks, zb[layer - 1]);

        // Match the curve to the measured saturated conductivity.
        CurveColumn r{}, kc{};
        for (int32_t j = 0; j < rows; ++j) {
            r[j] = kmq[j] / kmq[rows - 1];
            kc[j] = ks * r[j];
        }
        write_mq_rows(*mq, rows, ws, hs, kc);

        SAV1(*sav, kc, hs, r, rows, swf[layer - 1], ks, zb[layer - 1]);
    }

    write_mq_summary(*mq, MqForm::Measured, nl, zb.data(), swf.data());

    float gadepth = 0.0f, rootdepth = 0.0f;
    if (common::read_free(*in, {gadepth, rootdepth, lsin}) != common::ReadStatus::Done) return fail(read_error);
    if (std::string why = closing_checks(gadepth, rootdepth); !why.empty()) return fail(why);
    if (lsin < 1 || lsin > nl) return fail(msg::lsin_range(lsin, nl));
    write_mq_closing(*mq, MqForm::Measured, gadepth, rootdepth, lsin);

    const std::string mq_path = mq->path(), sav_path = sav->path();
    if (!ctx.units.close(mq_unit)) return fail(msg::cannot_write(mq_path, ctx.units.last_error()));
    ctx.units.close(in_unit);
    if (!ctx.units.close(sav_unit)) return fail(msg::cannot_write(sav_path, ctx.units.last_error()));
    return 0;
}

}  // namespace pedopre
