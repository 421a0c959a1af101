#pragma once
#include <QList>
#include <QRect>
#include <optional>

// The per-user profile (organisation and application "Quarvel"): where the main
// window was. An int that is missing reads as kMissing, the value that leaves a
// coordinate or size to the system.
class QvProfile {
public:
    static constexpr int kMissing = int(0x80000000u);
    static constexpr const char* kPlacementSection = "Window Position";

    struct Placement {
        int x = kMissing;
        int y = kMissing;
        int width = kMissing;
        int height = kMissing;
    };

    static Placement readWindowPlacement();
    static void writeWindowPlacement(const QRect& geometry);

    // The geometry to give the main window, or nothing when the profile holds no size.
    // A missing position centres the window on the primary screen; a window that
    // would lie off every screen moves onto the primary one.
    static std::optional<QRect> usablePlacement(const Placement& placement, const QList<QRect>& screens,
                                                const QRect& primary);
};
