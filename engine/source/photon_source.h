// The oblique beam: a point focus, a square field at the image-detector
// distance, and the start of every history on the outer face z = 0.
#pragma once

#include "engine/random/uniform_generator.h"
#include "engine/source/photon_state.h"

namespace velmora {

struct BeamGeometry {
    float incidenceRadians = 0;  // angle of the central ray to the z axis, >= 0
    float fid = 0;               // cm
    float fsd = 0;               // cm
    float fieldSize = 0;         // cm, at the FID
};

// Draws two deviates (u, then w) and returns the photon entering the block at
// z = 0, flying from the focus through its entry point.
PhotonState startPhoton(const BeamGeometry& beam, float energyKeV, UniformGenerator& generator);

// The same start from given deviates (for tests and tabulation).
PhotonState startPhotonFrom(const BeamGeometry& beam, float energyKeV, float r1, float r2);

// The part of a start that depends on the first deviate only: the ray's place
// in the plane of incidence. Tabulated by the fast form.
struct InPlaneStart {
    float a = 0;      // x distance from the foot of the focus to the entry point, cm
    float e = 0;      // offset of the entry point from the central entry point, cm
    float scale = 0;  // k: detector plane to entry point
};
InPlaneStart inPlaneStart(const BeamGeometry& beam, float r1);
float fieldOffsetAcross(const BeamGeometry& beam, float r2);  // w
// h: the focus's height above z = 0 (focusHeight), the same for every history.
float focusHeight(const BeamGeometry& beam);
PhotonState completeStart(float h, float energyKeV, const InPlaneStart& inPlane, float w);

}  // namespace velmora
