#pragma once
// The pixel kernels: plain functions over rectangles of pixels, apart from the value
// classes. Each is exact: its vector form gives the same bits on every processor as
// the per-pixel rules written out in these headers. A NaN that a kernel computes into a
// float pixel is always kDefaultNaN (QvPixelRules.h), whichever NaNs went in.
#include "Kernels/QvArithmeticKernels.h"
#include "Kernels/QvConvertKernels.h"
#include "Kernels/QvFilterKernels.h"
#include "Kernels/QvPixelClasses.h"
#include "Kernels/QvPixelRules.h"
#include "Kernels/QvPointKernels.h"
#include "Kernels/QvStatisticsKernels.h"
