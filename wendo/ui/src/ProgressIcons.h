// The images of the report window, drawn in code: the run button's three states, the eight
// command images (16 and 32 pixels) and the twelve frames of the busy animation.
#pragma once

#include <QIcon>
#include <QList>

namespace wendo::ui {

// Run button images by their resource numbers: idle (pressing runs), running (pressing stops),
// suspended (pressing resumes).
inline constexpr int kRunIdleIcon = 555;
inline constexpr int kRunningIcon = 556;
inline constexpr int kSuspendedIcon = 557;
QIcon RunButtonIcon(int resource);

// The command images in list order: 0 the totals (and a command read from a report), then
// keep-content, find-replace, anchor tags, image tags, file statistics, rewind, and file
// statistics with the file name. size is 16 or 32.
inline constexpr int kCommandImageCount = 8;
QList<QIcon> CommandImages(int size);

// The busy animation: frames 0 to 11 of a turning wheel, 32 by 32.
inline constexpr int kAnimationFrames = 12;
QList<QIcon> AnimationFrames();

} // namespace wendo::ui
