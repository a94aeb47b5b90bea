#include "soilcalc/wtvoldrn.h"

namespace pedopre {

int32_t WTVOLDRN(Context&, int, int, const std::string&, const SoilTable&) {
    set_routine("WTVOLDRN");
    return 0;  // placeholder until the drained-volume tables are built
}

}  // namespace pedopre
