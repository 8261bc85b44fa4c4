#include "engine/transport/tabulated_transport.h"

namespace velmora {

StudyTables::StudyTables(const InteractionData& interactionData, const BeamGeometry& beam,
                         const TransportBox& transportBox)
    : data(interactionData),
      box(transportBox),
      deviates(interactionData),
      coefficients(interactionData.crossSections, math),
      incoherentFunction(interactionData.scatteringFactors),
      source(beam, deviates) {}

}  // namespace velmora
