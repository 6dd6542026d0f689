#include "TessivoDemo.h"

void TessivoDemo::saveFacadeToMeshSlot() {}
void TessivoDemo::gen3DWindowObjsSlot() {}
