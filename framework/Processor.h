#pragma once
// What the processor can run, asked once: the vector code built for
// x86-64-v4 (AVX-512) or AVX2 runs only where these say so.

namespace Processor {

// The AVX-512 of x86-64-v4: F, BW, CD, DQ and VL.
bool HasAvx512() noexcept;
bool HasAvx2() noexcept;

}  // namespace Processor
