// The program's numbered texts: user messages (61446 to 61477) and the prompts of the commands
// (32771 to 32802), looked up by number. A prompt holds the status-bar text, then "\n" and the
// tool tip when the command has one.
//
// The table is constant; lookups are safe from any thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace core {

// Message numbers used outside the user interface.
namespace Msg {
inline constexpr std::uint32_t NEED_VALUE = 61446;
inline constexpr std::uint32_t NEED_DELIMITER = 61447;
inline constexpr std::uint32_t NEED_SECOND_DELIMITER = 61448;
inline constexpr std::uint32_t NEED_SOURCE = 61449;
inline constexpr std::uint32_t BAD_LINE_REGION = 61450;
inline constexpr std::uint32_t CANT_START_PROCESS = 61451;
inline constexpr std::uint32_t DOCUMENT_IN_PROCESS = 61452;
inline constexpr std::uint32_t NEED_NUMBER = 61453;
inline constexpr std::uint32_t SEARCH_PASSED_END = 61464;
inline constexpr std::uint32_t MENU_EXCLUDE = 61465;
inline constexpr std::uint32_t MENU_INCLUDE = 61466;
inline constexpr std::uint32_t MENU_RECURSIVE = 61467;
inline constexpr std::uint32_t MENU_CURRENT_PATH = 61468;
inline constexpr std::uint32_t ALL_PATHS_ARE_FILTERS = 61469;
inline constexpr std::uint32_t NO_PATH_SELECTION = 61470;
inline constexpr std::uint32_t REPORT_NOT_VALID = 61471;
inline constexpr std::uint32_t NOT_POSITIVE_INTEGER = 61474;
inline constexpr std::uint32_t CANT_ACCESS_REPORT = 61475;
} // namespace Msg

// The text of a number; empty for a number the table does not hold.
std::string_view LoadString(std::uint32_t id);

} // namespace core
