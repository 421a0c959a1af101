#pragma once
#include "Values/QvNumberValue.h"

// A number that counts its destructions, so tests can see exactly when a value dies.
class Tracked : public QvNumberValue {
public:
    explicit Tracked(int& destroyed) : destroyed_(destroyed) {}
    ~Tracked() override { ++destroyed_; }

private:
    int& destroyed_;
};
