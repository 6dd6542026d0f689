#ifndef TESSIVO_FACADEMESH_H
#define TESSIVO_FACADEMESH_H

// The wall mesh type: OpenMesh's polygon mesh with the array kernel and default traits.
#include <OpenMesh/Core/IO/MeshIO.hh>
#include <OpenMesh/Core/Mesh/PolyMesh_ArrayKernelT.hh>

#include "QWindowData2D.h"

#endif
