// Steady upward flux from the water table against water-table depth: for
// each of 21 fluxes, the depth of the water table below the reference level
// (half the maximum root depth, at a tension of 1000 cm) at which steady
// capillary rise through the layered profile delivers that flux.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "soilcalc/conductivity.h"
#include "soilcalc/spline.h"

namespace soilcalc {

inline constexpr int kFluxes = 21;
// The steady upward fluxes (cm/hr) whose water-table depths are sought,
// largest first.
extern const std::array<float, kFluxes> kUpwardFluxes;

// The tension-conductivity tables of the profile, wettest row first, and the
// layer bottoms measured from the reference level: layers whose bottom lies
// above it, or at most 5 cm below, get a nominal 5 cm at the top; the
// deepest layer reaches 10000 cm.
struct FluxProfile {
    int32_t nl = 0;
    std::array<int32_t, kMqLayers> n{};
    std::array<float, kMqLayers> bottom{};         // adjusted bottom (cm)
    std::array<CurveColumn, kMqLayers> tension{};  // cm, rising
    std::array<CurveColumn, kMqLayers> cond{};     // cm/hr
    float half_root_depth = 0.0f;                  // reference level below the surface (cm)
};
FluxProfile flux_profile(const MqTables& t);

// A notice of the integration, in the order it arose: the tension carried
// into a layer reduced to the layer's driest tension; the water table below
// the bottom of a layer; a layer bottom whose tension the bisection cannot
// find.
struct FluxNotice {
    enum class Kind : uint8_t { Reduction, BelowBottom, CannotFind } kind;
    float q;               // flux (cm/hr)
    int32_t layer;         // 1-based
    float tension = 0.0f;  // Reduction: the tension carried in (cm)
    float reduced = 0.0f;  // Reduction: the layer's driest tension (cm)
};

struct FluxDepth {
    enum class End : uint8_t { WaterTable, BelowBottom, Failed } end = End::Failed;
    float depth = 0.0f;  // water table, or the adjusted bottom passed (cm)
    std::vector<FluxNotice> notices;
    std::string error;  // the error message when Failed
};

// Integrates steady upward flow of flux q (cm/hr) down from the reference
// level, where the tension is `top` (cm), to the water table, layer by layer.
FluxDepth water_table_depth(const FluxProfile& p, float q, float top);

// The upward-flux step on the conductivity tables as read back: for each
// flux the water-table depth and the notices of its integration, then the
// spline through the depths sampled at the 20 water-table depths of the
// model's tables.
struct UpwardFlux {
    float half_root_depth = 0.0f;             // reference level below the surface (cm)
    std::vector<FluxNotice> notices;          // of every flux integrated, in order
    bool depths_found = false;                // every flux has its depth
    std::array<float, kFluxes> depth{};       // water table of each flux (cm below the reference level)
    std::array<float, kSplfitRows> grid{};    // water-table depths of the fitted rows (cm)
    std::array<float, kSplfitRows> fitted{};  // fitted flux (cm/hr)
    std::string error;                        // empty when the step completed
};
UpwardFlux UPFLUX(const MqTables& t);

}  // namespace soilcalc
