#pragma once

#include <cstdint>

#include "QRMatrix.h"

// Masking, and the penalty that decides which of the eight masks a symbol
// gets when none is fixed.
namespace pavix::qr {

// Every free cell's colour becomes its data bit, inverted where mask
// pattern `mask` (0..7) holds.
void ApplyMask(TModuleMatrix& matrix, std::int32_t mask);

// The penalty of the matrix as it stands, over all n × n cells: the sum of
// the four rules below.
std::int32_t MaskPenalty(const TModuleMatrix& matrix);

// 3 + (length - 5) for every run of five or more cells of one colour in a
// row or a column.
std::int32_t PenaltyRuns(const TModuleMatrix& matrix);
// 3 for every 2 × 2 square of one colour, overlapping squares included.
std::int32_t PenaltyBlocks(const TModuleMatrix& matrix);
// 40 for every dark-light-dark-dark-dark-light-dark in a row or a column
// with a light cell or the edge on both sides. Only these seven cells are
// looked at: not wider patterns, not four light cells beside them.
std::int32_t PenaltyFinderLike(const TModuleMatrix& matrix);
// 10 for every full 5 % that the dark share (cut to a whole per cent) lies
// away from 50 %.
std::int32_t PenaltyBalance(const TModuleMatrix& matrix);

// Applies `masktype` (0..7) or, for kMaskAutomatic, the first mask with the
// lowest penalty; returns the mask applied. Runs before format and version
// information are written, so those cells count as light.
std::int32_t ChooseMask(TModuleMatrix& matrix, std::int32_t masktype);

}  // namespace pavix::qr
