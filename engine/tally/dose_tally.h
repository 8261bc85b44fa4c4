// Energy deposited in the first 2 mm of the phantom, on 0.1 cm bins in x and
// |y|, kept apart for primary and scattered photons; normalised at the end to
// dose per 1 Gy of primary air kerma at the FSD.
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace velmora {

class DoseTally {
public:
    static constexpr int kXBins = 400;
    static constexpr int kYBins = 200;
    static constexpr int kCellsPerComponent = kXBins * kYBins;

    explicit DoseTally(float couchThickness);

    void clear();

    // Scores `energyKeV` when (x, y, z) lies in the slab T <= z <= T + 0.2 and on
    // the grid; ignores it otherwise. component is 1 (primary) or 2 (scatter).
    void deposit(int component, float x, float y, float z, float energyKeV) {
        const double depth = z;
        if (depth > slabBottom_ || depth < couchThickness_) return;
        const double xBin = std::trunc(10.0 * x) + 1.0;
        if (xBin < 1.0 || xBin > kXBins) return;
        const double yBin = std::trunc(10.0 * std::fabs(static_cast<double>(y))) + 1.0;
        if (yBin < 1.0 || yBin > kYBins) return;
        float& cell = cells_[index(component, static_cast<int>(xBin), static_cast<int>(yBin))];
        cell = static_cast<float>(static_cast<double>(cell) + energyKeV);
    }

    // keV -> Gy in 2 mg of water, then / air kerma: two passes, each rounded to float.
    void normalise(float airKermaGy);

    // Reflects the grid in x (bin i <-> 401 - i).
    void mirrorInX();

    // Adds another tally cell by cell (in float), for tallies built in pieces.
    void add(const DoseTally& other);

    float cell(int component, int xBin, int yBin) const { return cells_[index(component, xBin, yBin)]; }
    std::span<const float> component(int component) const {
        return std::span<const float>(cells_).subspan((component - 1) * kCellsPerComponent, kCellsPerComponent);
    }
    float couchThickness() const { return couchThickness_; }

private:
    static int index(int component, int xBin, int yBin) {
        return ((component - 1) * kXBins + (xBin - 1)) * kYBins + (yBin - 1);
    }

    float couchThickness_;
    double slabBottom_;  // T + 0.2, not rounded to float
    std::vector<float> cells_;
};

// airKerma += coefficient x histories x energy, rounded to float once per bin.
float addBinToAirKerma(float airKerma, float coefficient, std::int64_t historiesInBin, float binEnergyKeV);

// Sum -> Gy at the FSD: / (half field area at FID) x (FID / FSD)^2 x 1.602e-13.
float finishAirKerma(float airKermaSum, float fieldSize, float fid, float fsd);

}  // namespace velmora
