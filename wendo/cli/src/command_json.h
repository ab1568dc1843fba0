// The JSON record of one command line, shared by --parse and --check.
#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

namespace wendo::cli {

// Fields type, flags, label, error ("" when none), text (rebuilt; the line as stored for
// type -1), value, delimiter1, delimiter2, exclude (null when absent) and source.
nlohmann::ordered_json CommandRecord(std::string_view line);

} // namespace wendo::cli
