#pragma once
#include <string>

#include "HostServices/QvHostServices.h"

// The command's host services: the in-process clipboard and bell, and a progress line
// for long work ("Saving movie  42%") on standard error when that is a terminal, so
// pipes and files receive nothing but the script's output.
class QvTerminalProgress : public QvInProcessHostServices {
public:
    void reportProgress(const std::string& what, double fraction) override;

private:
    int shownPercent_ = -1;
};
