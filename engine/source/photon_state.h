// The photon being followed, and the fixed geometry of the irradiated block.
#pragma once

namespace velmora {

struct PhotonState {
    float energy = 0;  // keV
    float x = 0;       // cm, along the entrance face in the plane of incidence
    float y = 0;       // cm, across the plane of incidence
    float z = 0;       // cm, depth from the outer face of the couch layer
    // Flight direction (sinTheta cosPhi, sinTheta sinPhi, cosTheta); theta is
    // measured from +z, phi in the x-y plane from +x toward +y.
    float cosTheta = 1;
    float sinTheta = 0;
    float cosPhi = 1;
    float sinPhi = 0;
    int component = 1;  // 1 before the first scattering, 2 after
};

// The couch layer (0 < z < T) and the 40 x 40 x 20 cm water phantom below it.
struct TransportBox {
    float xMin = 0, xMax = 40;
    float yMin = -20, yMax = 20;
    float zMin = 0, zMax = 20;
};

}  // namespace velmora
