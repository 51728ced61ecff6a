// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldSnapshot.h"
#include "fold/FoldTypes.h"

#include <vector>

class FoldModel;

// The frames of a sheet moving from one fold to another. Each frame is reached from the one before
// by drag steps of the movement solver, as applying a fold file reaches its fold, so the limiter
// bounds every frame: no frame tears the paper or folds it through itself.
class FoldMotion {
public:
    static constexpr double shortestDuration = 0.5; // seconds
    static constexpr double longestDuration = 30;
    static constexpr int lowestFrameRate = 10; // frames a second
    static constexpr int highestFrameRate = 60;
    static constexpr double largestYaw = 60; // degrees either way

    struct Timing {
        double duration = 3; // seconds
        int framesPerSecond = 30;
        // There and back within the duration; the last frame is one step short of the first, so
        // that played in a loop no frame shows twice at the seam.
        bool loop = false;
        bool ease = true; // slow at the start and the end of the move
        // Degrees the yaw turns through, centred on the end's yaw; 0 keeps it.
        double sweep = 0;
    };

    // duration x rate, at least two.
    static int frameCount(const Timing& timing);

    // start and end are folds of a sheet of this size in one layout (the start's pitch is where
    // the tilt starts); other layouts than the classic move by PanelFoldMotion. Without a loop the
    // first frame is start and the last end, exactly, but for the yaw, which every frame takes
    // from the end and the sweep.
    static std::vector<FoldSnapshot> frames(FoldSize sheet, const FoldSnapshot& start,
                                            const FoldSnapshot& end, const Timing& timing);

    // Where frame `index` of `count` is along the move, 0 at the start and 1 at the end, before
    // easing.
    static double progressOfFrame(int index, int count, bool loop);
    static double eased(double progress);

private:
    static std::vector<FoldSnapshot> foldFrames(FoldSize sheet, const FoldSnapshot& start,
                                                const FoldSnapshot& end, const Timing& timing);
    static void sweep(std::vector<FoldSnapshot>& frames, float yaw, const Timing& timing);
    static std::vector<FoldSnapshot> hingedFrames(FoldSize sheet, const FoldSnapshot& start,
                                                  const FoldSnapshot& end, const Timing& timing);
    // The fold the move wants at `along` (0..1) on the sheet.
    static FoldSnapshot wantedAt(const FoldModel& sheet, const FoldSnapshot& start,
                                 const FoldSnapshot& end, double along);
    // Brings the model to the wanted fold, or near it; true when there.
    static bool stepTo(FoldModel& model, const FoldSnapshot& wanted);
    // The apex of a tent from its base (left and right ends) and its slopes' lengths.
    static FoldPoint peak(float left, float right, float leftSlope, float rightSlope,
                          float compression, float side);
};
