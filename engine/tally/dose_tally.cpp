#include "engine/tally/dose_tally.h"

#include <algorithm>

namespace velmora {

namespace {
constexpr float kSlabThickness = 0.2f;          // cm
constexpr float kKeVPerGramToGy = 1.602e-13f;
constexpr float kKeVToGyIn2mg = 1.602e-10f;     // keV per gram to Gy, times 1000 mg/g
constexpr float kCellMassMg = 2.0f;             // 0.1 x 0.1 x 0.2 cm of water
}  // namespace

DoseTally::DoseTally(float couchThickness)
    : couchThickness_(couchThickness),
      slabBottom_(static_cast<double>(couchThickness) + static_cast<double>(kSlabThickness)),
      cells_(2 * kCellsPerComponent, 0.0f) {}

void DoseTally::clear() { std::fill(cells_.begin(), cells_.end(), 0.0f); }

void DoseTally::normalise(float airKermaGy) {
    for (float& cell : cells_) {
        cell = static_cast<float>(static_cast<double>(cell) * kKeVToGyIn2mg / kCellMassMg);
    }
    for (float& cell : cells_) {
        cell = static_cast<float>(static_cast<double>(cell) / airKermaGy);
    }
}

void DoseTally::mirrorInX() {
    for (int component = 1; component <= 2; ++component) {
        for (int xBin = 1; xBin <= kXBins / 2; ++xBin) {
            for (int yBin = 1; yBin <= kYBins; ++yBin) {
                std::swap(cells_[index(component, xBin, yBin)], cells_[index(component, kXBins + 1 - xBin, yBin)]);
            }
        }
    }
}

void DoseTally::add(const DoseTally& other) {
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        cells_[i] = static_cast<float>(static_cast<double>(cells_[i]) + other.cells_[i]);
    }
}

float addBinToAirKerma(float airKerma, float coefficient, std::int64_t historiesInBin, float binEnergyKeV) {
    return static_cast<float>(static_cast<double>(coefficient) * static_cast<double>(historiesInBin) *
                                  binEnergyKeV +
                              airKerma);
}

float finishAirKerma(float airKermaSum, float fieldSize, float fid, float fsd) {
    const double halfFieldArea = static_cast<double>(0.5f) * fieldSize * fieldSize;
    const double inverseSquare = (static_cast<double>(fid) / fsd) * (static_cast<double>(fid) / fsd);
    return static_cast<float>(static_cast<double>(airKermaSum) / halfFieldArea * inverseSquare *
                              static_cast<double>(kKeVPerGramToGy));
}

}  // namespace velmora
