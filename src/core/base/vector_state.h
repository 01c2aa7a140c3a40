#pragma once

// The processor's vector registers between library code and the arithmetic.

namespace kvx {

// Marks the upper halves of the AVX registers clean. Qt's string hash (VAES on
// recent x86-64) returns with them dirty, and until they are cleared every
// SSE instruction of a thread, and of each thread it starts, runs several
// times slower: a long loop of arithmetic calls this first. Does nothing on
// processors without AVX and off x86-64.
void clearUpperVectorState();

} // namespace kvx
