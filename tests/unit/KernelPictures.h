#pragma once
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <type_traits>
#include <vector>

#include "Kernels/QvPixelClasses.h"

// A picture owned by a test: rows padded like a value's buffer and deliberately not
// aligned to the vector width, so that kernels meet the same rows as in a window.
template <class P>
class KernelPicture {
public:
    // The storage ends with the last pixel, so that a sanitizer build catches a kernel
    // reading past it.
    KernelPicture(int width, int height, int misalignment = 0)
        : storage_(misalignment * sizeof(P) +
                   (height > 0 && width > 0
                        ? static_cast<size_t>(QvPaddedRowBytes<P>(width)) * (height - 1) + width * sizeof(P)
                        : 0)),
          misalignment_(misalignment) {
        place(width, height);
    }
    KernelPicture(const KernelPicture& other) : storage_(other.storage_), misalignment_(other.misalignment_) {
        place(other.plane_.width, other.plane_.height);
    }
    KernelPicture& operator=(const KernelPicture&) = delete;
    QvPlane<P> plane() const { return plane_; }
    operator QvPlane<P>() const { return plane_; }
    operator QvPlane<const P>() const { return plane_; }
    P& at(int x, int y) const { return plane_.row(y)[x]; }

    void fill(P value) {
        for (int y = 0; y < plane_.height; ++y)
            for (int x = 0; x < plane_.width; ++x) at(x, y) = value;
    }
    // Random bytes; floats mostly on the 0-1 scale with values outside it, and with
    // `special` also NaN, infinities, negative zero and subnormals here and there.
    void randomize(std::mt19937& random, bool special = false) {
        for (int y = 0; y < plane_.height; ++y) {
            unsigned char* row = reinterpret_cast<unsigned char*>(plane_.row(y));
            if constexpr (std::is_same_v<P, bgPix> || std::is_same_v<P, bcPix>) {
                for (size_t i = 0; i < plane_.width * sizeof(P); ++i) row[i] = static_cast<unsigned char>(random());
            } else {
                float* values = reinterpret_cast<float*>(row);
                for (size_t i = 0; i < plane_.width * sizeof(P) / 4; ++i) values[i] = randomFloat(random, special);
            }
        }
    }
    // Whether every byte, padding and slack included, equals other's.
    bool sameStorage(const KernelPicture& other) const { return storage_ == other.storage_; }
    // Random bytes everywhere, padding included.
    void scramble(std::mt19937& random) {
        for (unsigned char& byte : storage_) byte = static_cast<unsigned char>(random());
    }
    // Whether the pixels over this picture's size hold the same bits as other's.
    bool sameBits(const KernelPicture& other) const {
        for (int y = 0; y < plane_.height; ++y)
            if (std::memcmp(plane_.row(y), other.plane_.row(y), plane_.width * sizeof(P)) != 0) return false;
        return true;
    }

    static float randomFloat(std::mt19937& random, bool special) {
        std::uniform_real_distribution<float> unit(-0.25f, 1.25f);
        if (special && random() % 16 == 0) {
            const float specials[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                      -std::numeric_limits<float>::infinity(), -0.0f, 0.0f, 1e-40f, 1.0f, 1e30f};
            return specials[random() % 8];
        }
        return unit(random);
    }

private:
    void place(int width, int height) {
        plane_ = {reinterpret_cast<P*>(storage_.data() + misalignment_ * sizeof(P)),
                  static_cast<ptrdiff_t>(QvPaddedRowBytes<P>(width)), width, height};
    }

    std::vector<unsigned char> storage_;
    int misalignment_;
    QvPlane<P> plane_;
};
