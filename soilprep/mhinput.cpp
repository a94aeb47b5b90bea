#include "soilprep/mhinput.h"

namespace pedopre {

int32_t MHINPUT(Context&, int, const std::string&, SoilTable&) {
    set_routine("MHINPUT");
    return 0;  // placeholder until the soil input file is assembled
}

}  // namespace pedopre
