#include "soilprep/mq_file.h"

#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"

namespace soilprep {
namespace {

const common::Layout& title_layout() {
    static const common::Layout k("(A80)");
    return k;
}

}  // namespace

bool write_mq_title(common::Connection& mq, const std::string& title) {
    return common::write_record(mq, title_layout(), {title});
}

bool write_mq_count(common::Connection& mq, int32_t nlayer) {
    static const common::Layout kLayerCount("(1X,'NUMBER OF LAYERS= ',I2)");
    return common::write_record(mq, kLayerCount, {nlayer});
}

bool write_mq_layer_head(common::Connection& mq, int32_t rows, float k_header, float zbot) {
    static const common::Layout kHeader("(' ENTRIES  BOTTOM DEPTH(CM)',/,1X,I2,F8.3,F10.2)");
    static const common::Layout kColumns("(1X,'THETA',15X,'HEAD',10X,'COND-CM/HR')");
    common::write_record(mq, kHeader, {rows, k_header, zbot});
    return common::write_record(mq, kColumns, {});
}

bool write_mq_rows(common::Connection& mq, int32_t rows, const soilcalc::CurveColumn& theta,
                   const soilcalc::CurveColumn& head, const soilcalc::CurveColumn& cond) {
    static const common::Layout kRows("(F10.3,10X,F10.1,5X,F15.9)");
    common::StatementWriter table(mq, kRows);
    for (int32_t j = 0; j < rows; ++j) table << theta[j] << head[j] << cond[j];
    return table.finish();
}

bool write_mq_summary(common::Connection& mq, MqForm form, int32_t nlayer, const float* zbot, const float* swf) {
    static const common::Layout kSummary(
        "(/,1X,' LAYER #  DEPTH (CM)  SUCTION OF WETTING FRONT (CM)',/,9(3X,I3,5X,F5.0,12X,F9.4,/))");
    static const common::Layout kCaption("(/,1X,' LAYER #  DEPTH (CM)  SUCTION OF WETTING FRONT (CM)')");
    static const common::Layout kRow("(3X,I3,5X,F5.0,12X,F9.4)");
    if (form == MqForm::Measured) {
        common::StatementWriter summary(mq, kSummary);
        for (int32_t l = 0; l < nlayer; ++l) summary << int32_t{l + 1} << zbot[l] << swf[l];
        return summary.finish();
    }
    bool ok = common::write_record(mq, kCaption, {});
    for (int32_t l = 0; l < nlayer; ++l) ok = common::write_record(mq, kRow, {int32_t{l + 1}, zbot[l], swf[l]});
    return ok;
}

bool write_mq_closing(common::Connection& mq, MqForm form, float gadepth, float rootdepth, int32_t lsin) {
    if (form == MqForm::VanGenuchten) common::write_free(mq, {});
    return common::write_free(mq, {gadepth, rootdepth, lsin});
}

soilcalc::MqRead read_mq(common::Connection& mq, soilcalc::MqTables& t, soilcalc::MqColumns columns) {
    static const common::Layout kCount("(19X,I2)");
    static const common::Layout kHeaderAll("(/,I3,F8.3,F10.5,/)");
    static const common::Layout kHeaderFlux("(/,I3,8X,F10.5,/)");
    static const common::Layout kRowAll("(F10.4,10X,F10.2,5X,F15.6)");
    static const common::Layout kRowFlux("(20X,F10.2,5X,F15.6)");
    static const common::Layout kSummary("(/,1X)");
    using common::ReadStatus;
    const bool all = columns == soilcalc::MqColumns::All;

    if (common::read_record(mq, title_layout(), {t.title}) != ReadStatus::Done)
        return {soilcalc::MqPart::Title, 0, false};
    if (common::read_record(mq, kCount, {t.nl}) != ReadStatus::Done) return {soilcalc::MqPart::LayerCount, 0, false};
    if (t.nl < 1 || t.nl > soilcalc::kMqLayers) return {soilcalc::MqPart::LayerCount, 0, true};
    for (int32_t l = 0; l < t.nl; ++l) {
        soilcalc::MqLayer& layer = t.layers[l];
        ReadStatus st = all ? common::read_record(mq, kHeaderAll, {layer.rows, layer.k_header, layer.bottom})
                            : common::read_record(mq, kHeaderFlux, {layer.rows, layer.bottom});
        if (st != ReadStatus::Done) return {soilcalc::MqPart::Header, l, false};
        if (layer.rows < 1 || layer.rows > soilcalc::kMqRows) return {soilcalc::MqPart::Header, l, true};
        for (int32_t j = 0; j < layer.rows; ++j) {
            st = all ? common::read_record(mq, kRowAll, {layer.theta[j], layer.head[j], layer.cond[j]})
                     : common::read_record(mq, kRowFlux, {layer.head[j], layer.cond[j]});
            if (st != ReadStatus::Done) return {soilcalc::MqPart::Rows, l, false};
        }
    }
    if (common::read_record(mq, kSummary, {}) != ReadStatus::Done) return {soilcalc::MqPart::Summary, t.nl, false};
    for (int32_t l = 0; l < t.nl; ++l) {
        int32_t layer = 0;
        if (common::read_free(mq, {layer, t.zb[l], t.sf[l]}) != ReadStatus::Done)
            return {soilcalc::MqPart::Summary, t.nl, false};
    }
    if (common::read_free(mq, {t.gadepth, t.rootdepth, t.lsin}) != ReadStatus::Done)
        return {soilcalc::MqPart::Closing, t.nl, false};
    return {};
}

}  // namespace soilprep
