// make_synthetic_result OUT.ddat: writes the synthetic result file, for
// looking at the viewer and the renderer without an engine run.
#include <cstdio>
#include <fstream>

#include "synthetic_result.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_synthetic_result OUT.ddat\n");
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << velmora::testing::syntheticResultBytes({});
    return out ? 0 : 1;
}
