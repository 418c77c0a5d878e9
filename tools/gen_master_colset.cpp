// Writes the master column set of the installation template:
//   gen_master_colset <template-root>  ->  <root>/Data/Org/MLVColSet.sys
#include <cstdio>

#include "customers/MasterColSet.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_master_colset <template-root>\n");
        return 2;
    }
    if (!WriteMasterColSet(argv[1])) {
        std::fprintf(stderr, "gen_master_colset: cannot write %s/Data/Org/MLVColSet.sys\n", argv[1]);
        return 1;
    }
    return 0;
}
