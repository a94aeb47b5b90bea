#include "soilcalc/grnampt.h"

namespace pedopre {

int32_t GRNAMPT(Context&, int, const std::string&) {
    set_routine("GRNAMPT");
    return 0;  // placeholder until the Green-Ampt table is built
}

}  // namespace pedopre
