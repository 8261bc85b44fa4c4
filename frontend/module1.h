// Module1: the state that several windows of the front end share. One object
// lives for the whole program and is passed to each window by reference.
#pragma once

#include <vector>

namespace velmora {

struct Module1 {
    // Confirmed geometry (geometry dialog OK), read by the launch dialog.
    double incidenceAngle = 0;  // degrees
    double fid = 0;             // cm
    double fsd = 0;             // cm
    double fieldSize = 0;       // cm, square side at the FID
    double couchThickness = 0;  // cm, water equivalent

    // Result viewer: 1 while the map of the loaded data is drawn.
    int mapDrawn = 0;

    // Loaded doses: component 0 total, 1 primary, 2 scatter; ix 0..400, iy 0..200.
    // Elements with ix = 0 or iy = 0 are never written and stay 0.
    static constexpr int kComponents = 3;
    static constexpr int kXSize = 401;
    static constexpr int kYSize = 201;
    std::vector<double> doseGridValues = std::vector<double>(kComponents * kXSize * kYSize, 0.0);

    double& doseGrid(int component, int ix, int iy) {
        return doseGridValues[(component * kXSize + ix) * kYSize + iy];
    }
    double doseGrid(int component, int ix, int iy) const {
        return doseGridValues[(component * kXSize + ix) * kYSize + iy];
    }
};

}  // namespace velmora
