#pragma once
#include <QByteArray>
#include <QList>
#include <QRect>
#include <optional>

// The per-user profile (organisation and application "Quarvel"): where the main
// window was, and the media settings blobs. An int that is missing reads as kMissing,
// the value that leaves a coordinate or size to the system.
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

    // A settings blob kept under a section's "QuickTimeData" with its length in "DataSize".
    struct StoredBlob {
        enum class State { Missing, Valid, Invalid };
        State state = State::Missing;
        QByteArray bytes;
    };
    static constexpr const char* kMovieSection = "MovieSettings";
    static constexpr const char* kVideoSection = "Video Settings";
    // A blob whose length differs from its "DataSize" (or that has no "DataSize") is Invalid.
    static StoredBlob readBlob(const char* section);
    static void writeBlob(const char* section, const QByteArray& bytes);
};
