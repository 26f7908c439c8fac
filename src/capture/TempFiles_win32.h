// Deleting the capture's temporary files (the two snapshots and the working
// project file of State()).
#pragma once

namespace loom {

// `mask`: DeleteMask bits (wizard/Steps.h). A file never named is left alone.
void DeleteTemporaryFiles(unsigned mask);

}  // namespace loom
