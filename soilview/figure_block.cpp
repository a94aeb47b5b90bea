#include "soilview/figure_block.h"

#include <cstdio>

namespace pedoview {

std::string decimals(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

}  // namespace pedoview
