#pragma once

// catalogue list and catalogue build: loudspeaker data files as CSV and back,
// through the core's catalogue functions (core/catalogue/catalogue_csv.h).

#include "cli/command_line.h"

namespace kvx::cli {

// Prints the records of invocation.file as CSV or, with --json, a JSON array.
int listCatalogue(const Invocation& invocation);
// Writes invocation.output from the CSV invocation.file, or nothing at all.
int buildCatalogueFile(const Invocation& invocation);

} // namespace kvx::cli
