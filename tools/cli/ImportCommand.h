#ifndef TESSIVO_CLI_IMPORTCOMMAND_H
#define TESSIVO_CLI_IMPORTCOMMAND_H

#include "CommandLine.h"

namespace CommandLine {

// `tessivo import`: a facade photograph made into a test case (ImportCommand.cpp).
Subcommand importSubcommand();

} // namespace CommandLine

#endif
