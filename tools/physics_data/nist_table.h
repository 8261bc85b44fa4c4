// The NIST mass attenuation and mass energy-absorption tables (Hubbell & Seltzer,
// NISTIR 5632) as text, and log-log interpolation in them that respects edges.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::physics_data {

struct NistRow {
    double energyMeV = 0;
    double massAttenuationCm2PerG = 0;        // mu/rho, coherent scattering included
    double massEnergyAbsorptionCm2PerG = 0;   // mu_en/rho
};

// Rows in ascending energy. An absorption edge appears as two rows of the same
// energy: the first holds the values just below the edge, the second just above.
struct NistTable {
    std::vector<NistRow> rows;
};

enum class NistColumn { massAttenuation, massEnergyAbsorption };

// Reads the three-column text ("energy/MeV  mu/rho  mu_en/rho"); lines starting
// with '#' and blank lines are comments. Throws InputError naming `fileName`, the
// line and the field for a malformed line, a non-positive value, energies out of
// order, an energy listed more than twice, or fewer than two rows.
NistTable parseNistTable(std::string_view text, const std::string& fileName);

// Log-log interpolation at `energyMeV` between the two rows that enclose it.
// An energy equal to an edge, or above it, takes the above-edge row; an energy
// below the edge interpolates between rows below the edge only. Below the first
// row the first interval is extrapolated; above the last row throws
// std::domain_error (the tables reach 1 MeV, far beyond what is needed here).
double logLogAt(const NistTable& table, NistColumn column, double energyMeV);

}  // namespace velmora::physics_data
