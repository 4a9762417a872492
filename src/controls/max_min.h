#pragma once
// Integer minimum and maximum of the input controls. On a tie both give B,
// which matters only to callers that compare addresses; kept for fidelity.

namespace MaxMin {

inline int Max(int A, int B) { return A > B ? A : B; }
inline int Min(int A, int B) { return A < B ? A : B; }

}  // namespace MaxMin
