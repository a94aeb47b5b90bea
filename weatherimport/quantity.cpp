#include "weatherimport/quantity.h"

namespace weatherimport {

std::string_view quantity_name(Quantity q) {
    static constexpr std::array<std::string_view, kQuantities> names = {
        "tmax", "tmin", "rain", "pet", "tdew", "rh-max", "rh-min", "rh-mean", "wind", "solar", "sunshine"};
    return names[index(q)];
}

}  // namespace weatherimport
