#ifndef TESSIVO_TESTS_MADESEEDS_H
#define TESSIVO_TESTS_MADESEEDS_H

#include <string>
#include <vector>

// Seeds that a fuzz target makes when it runs instead of keeping them in the
// tree (pictures are never committed). The replay suite replays them beside
// the kept seeds; scripts/fuzz.sh writes them into the target's corpus with
// the target's seed maker (fuzz_seeds_<name>). Targets whose seeds are all
// kept files make none.
struct MadeSeed {
    std::string name;  // a file name for the corpus, without folders
    std::string bytes;
};

std::vector<MadeSeed> madeFuzzSeeds();

#endif
