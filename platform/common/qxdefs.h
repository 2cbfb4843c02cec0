// Definitions shared by every deliverable and platform layer.
#pragma once

// A missing value in datasets, fit results and worksheet cells. Compare with == :
// the value is exact and is never the result of arithmetic on ordinary numbers.
#define MISSING_VALUE (-1.23456789e-300)

inline bool IsMissingValue(double v) { return v == MISSING_VALUE; }
