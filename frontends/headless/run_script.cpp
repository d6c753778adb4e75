#include "headless/run_script.h"

#include "headless/headless_frontend.h"

namespace headless {

using namespace script;

ScriptResult RunScript(std::vector<Step> steps, const DeviceOptions& options,
                       std::ostream& transcript) {
    ScriptPlayer player(std::move(steps), transcript);
    HeadlessFrontend frontend(player);
    return PlayProgram(player, frontend, options);
}

ScriptResult RunScriptText(const std::string& text, const DeviceOptions& options,
                           std::ostream& transcript) {
    ParseResult parsed = ParseScript(text);
    if (parsed.error) {
        return {kStatusBadStep, *parsed.error};
    }
    return RunScript(std::move(parsed.steps), options, transcript);
}

}  // namespace headless
