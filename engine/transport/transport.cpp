#include "engine/transport/transport.h"

#include <cmath>

#include "engine/physics/scattering.h"

namespace velmora {

namespace {
bool outsideBox(const TransportBox& box, float x, float y, float z) {
    // A point on a face counts as outside.
    return x <= box.xMin || x >= box.xMax || y <= box.yMin || y >= box.yMax || z <= box.zMin || z >= box.zMax;
}
}  // namespace

HistoryEnd transportPhoton(PhotonState& photon, const InteractionData& data, const TransportBox& box,
                           UniformGenerator& generator, DoseTally& tally, TransportCounts* counts) {
    for (;;) {
        if (photon.energy < kEnergyCutOffKeV) {
            tally.deposit(photon.component, photon.x, photon.y, photon.z, photon.energy);
            return HistoryEnd::cutOff;
        }

        if (counts) ++counts->flights;
        const Coefficients mu = coefficientsAt(data.crossSections, photon.energy);
        const float total = static_cast<float>(static_cast<double>(mu.photoelectric) + mu.incoherent + mu.coherent);
        const float photoelectricLimit = static_cast<float>(static_cast<double>(mu.photoelectric) / total);
        const float coherentLimit =
            static_cast<float>((static_cast<double>(mu.photoelectric) + mu.coherent) / total);

        float r1 = generator.uniform();
        float r2 = generator.uniform();
        while (r1 <= 0.0f) {  // -ln(0) has no flight length
            r1 = generator.uniform();
            r2 = generator.uniform();
        }
        const float flight = static_cast<float>(-std::log(static_cast<double>(r1)) / total);

        const double s = flight;
        const float x = static_cast<float>(photon.x + static_cast<double>(photon.cosPhi) * photon.sinTheta * s);
        const float y = static_cast<float>(photon.y + static_cast<double>(photon.sinPhi) * photon.sinTheta * s);
        const float z = static_cast<float>(photon.z + static_cast<double>(photon.cosTheta) * s);
        if (x == photon.x || y == photon.y || z == photon.z) return HistoryEnd::stalled;
        if (outsideBox(box, x, y, z)) return HistoryEnd::escaped;
        photon.x = x;
        photon.y = y;
        photon.z = z;

        if (r2 < photoelectricLimit) {
            tally.deposit(photon.component, photon.x, photon.y, photon.z, photon.energy);
            return HistoryEnd::absorbed;
        }
        float energyAfter = photon.energy;
        ScatteringAngle angle;
        if (r2 < coherentLimit) {
            if (counts) ++counts->coherent;
            angle = sampleCoherent(photon.energy, data.scatteringFactors, data.coherentCdf, generator);
        } else {
            if (counts) ++counts->incoherent;
            const IncoherentResult incoherent = sampleIncoherent(photon.energy, data.scatteringFactors, generator);
            energyAfter = incoherent.energyAfter;
            angle = incoherent.angle;
            tally.deposit(photon.component, photon.x, photon.y, photon.z,
                          static_cast<float>(static_cast<double>(photon.energy) - energyAfter));
        }
        turnDirection(photon, angle, generator);
        photon.energy = energyAfter;
        photon.component = 2;
    }
}

}  // namespace velmora
