#pragma once
// Plays a script with the headless front end; the transcript goes to `transcript`.

#include <ostream>
#include <string>
#include <vector>

#include "script/run_program.h"

namespace headless {

script::ScriptResult RunScript(std::vector<script::Step> steps,
                               const script::DeviceOptions& options, std::ostream& transcript);
script::ScriptResult RunScriptText(const std::string& text, const script::DeviceOptions& options,
                                   std::ostream& transcript);

}  // namespace headless
