#ifndef TESSIVO_TESTCASES_MATERIALS_H
#define TESSIVO_TESTCASES_MATERIALS_H

#include "CaseDesign.h"
#include "Raster.h"

// The wall of a facade without its windows: material, storey cornices, the
// attic cornice, the ground floor with its plinth and entrance, and the light
// falling across it. This is the "background" picture of a test case.
namespace TestCases {

Raster paintWall(const CaseDesign &design);

} // namespace TestCases

#endif
