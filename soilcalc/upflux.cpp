#include "soilcalc/upflux.h"

namespace pedopre {

int32_t UPFLUX(Context&, int, const std::string&, const std::string&) {
    set_routine("UPFLUX");
    return 0;  // placeholder until the upward-flux table is built
}

}  // namespace pedopre
