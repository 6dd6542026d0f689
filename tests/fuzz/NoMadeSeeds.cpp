#include "MadeSeeds.h"

// A target whose seeds are all files in corpus/<name>/.
std::vector<MadeSeed> madeFuzzSeeds()
{
    return {};
}
