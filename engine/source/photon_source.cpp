#include "engine/source/photon_source.h"

#include <cmath>

namespace velmora {

InPlaneStart inPlaneStart(const BeamGeometry& beam, float r1) {
    const double theta = beam.incidenceRadians;
    const double cosTheta = std::cos(theta);
    const double sinTheta = std::sin(theta);
    const double fid = beam.fid;
    const double fsd = beam.fsd;

    // In-plane offset u at the detector plane, its ray angle, and where that
    // ray meets z = 0 measured from the foot of the focus.
    const float u = static_cast<float>((static_cast<double>(r1) - 0.5) * beam.fieldSize);
    const float alpha = static_cast<float>(std::atan(u / fid));
    const float a = static_cast<float>(fsd * cosTheta * std::tan(static_cast<double>(alpha) + theta));
    const float e = static_cast<float>(a - fsd * sinTheta);

    // Scale from the detector plane to the entry point along the ray.
    const float p = static_cast<float>(fsd * u / fid);
    const float d1 = static_cast<float>(std::sqrt((e - p * cosTheta) * (e - p * cosTheta) +
                                                  (p * sinTheta) * (p * sinTheta)));
    const double toCentralEntry = std::sqrt(fsd * fsd + static_cast<double>(u) * u);
    const float d = static_cast<float>(e >= 0.0f ? toCentralEntry + d1 : toCentralEntry - d1);
    const float k = static_cast<float>(d / std::sqrt(fid * fid + static_cast<double>(u) * u));
    return InPlaneStart{a, e, k};
}

float fieldOffsetAcross(const BeamGeometry& beam, float r2) {
    return static_cast<float>(static_cast<double>(r2) * beam.fieldSize * 0.5);
}

float focusHeight(const BeamGeometry& beam) {
    return static_cast<float>(static_cast<double>(beam.fsd) * std::cos(static_cast<double>(beam.incidenceRadians)));
}

PhotonState completeStart(float h, float energyKeV, const InPlaneStart& inPlane, float w) {
    const double a = inPlane.a;
    PhotonState photon;
    photon.energy = energyKeV;
    photon.x = static_cast<float>(static_cast<double>(inPlane.e) + 20.0);
    photon.y = static_cast<float>(static_cast<double>(w) * inPlane.scale);
    photon.z = 0.0f;
    photon.component = 1;

    // Direction from the focus through the entry point.
    const double y = photon.y;
    const float rho = static_cast<float>(std::sqrt(y * y + a * a));
    const float distance = static_cast<float>(std::sqrt(static_cast<double>(h) * h + y * y + a * a));
    photon.cosTheta = static_cast<float>(static_cast<double>(h) / distance);
    photon.sinTheta = static_cast<float>(static_cast<double>(rho) / distance);
    if (rho > 0.0f) {
        photon.cosPhi = static_cast<float>(a / rho);
        photon.sinPhi = static_cast<float>(y / rho);
    }  // else a ray exactly along z: any azimuth serves (the photon keeps cosPhi 1, sinPhi 0)
    return photon;
}

PhotonState startPhotonFrom(const BeamGeometry& beam, float energyKeV, float r1, float r2) {
    return completeStart(focusHeight(beam), energyKeV, inPlaneStart(beam, r1), fieldOffsetAcross(beam, r2));
}

PhotonState startPhoton(const BeamGeometry& beam, float energyKeV, UniformGenerator& generator) {
    const float r1 = generator.uniform();
    const float r2 = generator.uniform();
    return startPhotonFrom(beam, energyKeV, r1, r2);
}

}  // namespace velmora
