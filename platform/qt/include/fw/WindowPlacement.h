// The placement record of a top-level window and its one-line text form
// "flags,show,minX,minY,maxX,maxY,left,top,right,bottom".
//
// Threads: interface thread for Get/Set; the text form anywhere.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QWidget;

namespace fw {

// Show commands and flags of a placement.
inline constexpr std::uint32_t SW_HIDE = 0;
inline constexpr std::uint32_t SW_SHOWNORMAL = 1;
inline constexpr std::uint32_t SW_SHOWMINIMIZED = 2;
inline constexpr std::uint32_t SW_SHOWMAXIMIZED = 3;
inline constexpr std::uint32_t SW_SHOW = 5;
inline constexpr std::uint32_t SW_RESTORE = 9;
inline constexpr std::uint32_t WPF_RESTORETOMAXIMIZED = 2;

struct WindowPlacement
{
    std::uint32_t length = 44;
    std::uint32_t flags = 0;
    std::uint32_t showCmd = SW_SHOWNORMAL;
    std::int32_t minX = -1;
    std::int32_t minY = -1;
    std::int32_t maxX = -1;
    std::int32_t maxY = -1;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool operator==(const WindowPlacement&) const = default;
};

QString FormatPlacement(const WindowPlacement& placement);
// The record of a text of exactly ten numbers in that format; none for anything else, and
// for a record no window could have (show command unknown, empty or huge rectangle).
std::optional<WindowPlacement> ParsePlacement(const QString& text);

WindowPlacement GetWindowPlacement(const QWidget* window);
// Gives the window the normal rectangle (moved onto a screen when it lies off all of them)
// and shows it by the record's show command.
void SetWindowPlacement(QWidget* window, const WindowPlacement& placement);

} // namespace fw
