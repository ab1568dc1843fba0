#include "command_json.h"

#include "model/ParseCmd.h"
#include "model/RegexReplace.h"

#include <optional>
#include <string>

namespace wendo::cli {

namespace {

nlohmann::ordered_json OptionalField(const std::optional<std::string>& field)
{
    return field ? nlohmann::ordered_json(*field) : nlohmann::ordered_json(nullptr);
}

} // namespace

nlohmann::ordered_json CommandRecord(std::string_view line)
{
    CParseCmd cmd(line);
    if (cmd.Type != CmdType::UNKNOWN) {
        cmd.BuildText();
    }
    nlohmann::ordered_json object;
    object["type"] = cmd.Type;
    object["flags"] = cmd.Flags;
    object["label"] = cmd.Label;
    object["error"] = cmd.ErrorText;
    object["text"] = cmd.Text;
    object["value"] = OptionalField(cmd.Value);
    object["delimiter1"] = OptionalField(cmd.Delimiter1);
    object["delimiter2"] = OptionalField(cmd.Delimiter2);
    object["exclude"] = OptionalField(cmd.Exclude);
    object["source"] = std::string(cmd.GetSource());
    // Only a refused REGEX command has this field, so other records keep their shape.
    if (const auto problem = FindRegexProblem(cmd)) {
        object["regex_problem"] = {{"message", problem->message},
                                   {"offset", problem->offset},
                                   {"in", problem->inReplacement ? "replacement" : "pattern"}};
    }
    return object;
}

} // namespace wendo::cli
