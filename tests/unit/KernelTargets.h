#pragma once
#include <gtest/gtest.h>

#include <hwy/targets.h>

#include <random>

#include "KernelPictures.h"

// Runs body once for every dispatch target this processor has (the scalar fallback
// included), with the kernels dispatching to that target.
template <class Body>
void onEveryTarget(Body body) {
    for (int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(hwy::TargetName(target));
        body();
    }
    hwy::SetSupportedTargetsForTest(0);
}

// Widths that leave every possible tail after whole vectors, and a few heights.
inline const int kOddWidths[] = {1, 15, 16, 17, 33, 64, 71};

// Runs a kernel and its reference on copies of one scrambled destination and expects
// the same bytes everywhere: the pixels written and everything around them.
template <class P, class Kernel, class ReferenceKernel>
void expectSameAsReference(KernelPicture<P> dst, Kernel kernel, ReferenceKernel reference) {
    KernelPicture<P> expected(dst);
    kernel(dst);
    reference(expected);
    EXPECT_TRUE(dst.sameStorage(expected)) << "width " << dst.plane().width << " height " << dst.plane().height;
}
