// The soil-data and weather-import calculations of the compiled module.
#pragma once

#include <pybind11/pybind11.h>

void add_data_functions(pybind11::module_& m);
