#include "soilcalc/wtd_file.h"

#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_write.h"

namespace pedopre {

bool write_wtd_title(common::Connection& wtd, const std::string& title) {
    static const common::Layout kTitle("('TITLE: ',A80)");
    return common::write_record(wtd, kTitle, {title});
}

bool write_no_saturated_notice(common::Connection& wtd) {
    return common::write_free(wtd, {"ERROR: no saturated theta, value extrapolated"});
}

bool write_extended_notice(common::Connection& wtd, int32_t layer) {
    common::write_free(wtd, {" "});
    common::write_free(wtd, {" ERROR!!"});
    common::write_free(wtd, {" SOIL WATER CHARACTERISTIC CURVE FOR LAYER ", layer});
    common::write_free(wtd, {" DOES NOT GO TO 1000 CM. A VALUE WAS ENTERED BY"});
    return common::write_free(wtd, {" THE PROGRAM. CHECK THIS VALUE."});
}

bool write_wtd_inputs(common::Connection& wtd, int32_t nlayer, const float* zbot) {
    static const common::Layout kText("(/,/,1X,A)");
    static const common::Layout kLayers(
        "(' ',10X,'# OF LAYERS = ',I2,/,' DEPTH AT BOTTOM OF EACH ','LAYER (CM) :',/,1X,5F10.1,/,"
        "1X,4F10.1)");
    common::write_record(wtd, kText, {"INPUTS:"});
    common::StatementWriter w(wtd, kLayers);
    w << nlayer;
    for (int32_t l = 0; l < nlayer; ++l) w << zbot[l];
    return w.finish();
}

bool write_wtd_grid(common::Connection& wtd, int32_t steps, float dz) {
    static const common::Layout kGridLine("(/,' CALCULATED USING ',I5,' STEPS OF',F6.2,' CM THICKNESS')");
    return common::write_record(wtd, kGridLine, {steps, dz});
}

bool write_wtd_layer(common::Connection& wtd, int32_t layer, int32_t n, const float* head, const float* theta) {
    static const common::Layout kLayerHead(
        "(' ',/,/,/,35X,'LAYER=',I2,/,/,20X,'PRESSURE HEAD',10X,'THETA')");
    static const common::Layout kPoint("(' ',F29.1,F19.3)");
    bool ok = common::write_record(wtd, kLayerHead, {layer});
    for (int32_t j = 0; j < n; ++j) ok = common::write_record(wtd, kPoint, {head[j], theta[j]});
    return ok;
}

bool write_wtd_table_head(common::Connection& wtd) {
    static const common::Layout kOutputs("(5(/),1X,A)");
    static const common::Layout kTableHead(
        "(22X,' WATER TABLE',10X,'VOLUME',12X,'POROSITY',/,25X,' (CM)  ',12X,' (CM) ',12X,"
        "' (CM/CM)')");
    common::write_record(wtd, kOutputs, {"OUTPUTS:"});
    return common::write_record(wtd, kTableHead, {});
}

bool write_wtd_table_row(common::Connection& wtd, float depth, float volume, float porosity) {
    static const common::Layout kTableRow("(' ',F29.2,F20.3,10X,F10.5)");
    return common::write_record(wtd, kTableRow, {depth, volume, porosity});
}

}  // namespace pedopre
