// velmora-physics-data NIST_DIRECTORY OUTPUT_DIRECTORY: writes "Water.mix",
// "Water.xfs" and "Mus-XP.dat" from xraylib and the NIST tables.
#include <exception>
#include <iostream>

#include "tools/physics_data/physics_tables.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: velmora-physics-data NIST_DIRECTORY OUTPUT_DIRECTORY\n"
                     "  NIST_DIRECTORY holds water-liquid.txt and air-dry-near-sea-level.txt\n"
                     "  (data/nist in the source tree).\n";
        return 2;
    }
    try {
        const velmora::physics_data::PhysicsTables tables =
            velmora::physics_data::generatePhysicsTables(argv[1]);
        velmora::physics_data::writePhysicsTables(tables, argv[2]);
    } catch (const std::exception& error) {
        std::cerr << "velmora-physics-data: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
