#pragma once
// Running the program with the Qt front end: for a person, or playing a script in the real
// widgets.

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "scale.h"
#include "script/run_program.h"

class QApplication;

namespace qtfront {

struct GuiOptions {
    script::DeviceOptions device;
    Scale scale;
    std::optional<std::filesystem::path> screenshots;  // pictures of the screen go here
};

// Whether a desktop display is there to show windows on.
bool HasDisplay();

// The Qt application object of the process. With `offscreenWithoutDisplay`, Qt draws
// offscreen when there is no display (and no platform was chosen).
class GuiApplication {
  public:
    GuiApplication(const char* programName, bool offscreenWithoutDisplay);
    ~GuiApplication();
    GuiApplication(const GuiApplication&) = delete;
    GuiApplication& operator=(const GuiApplication&) = delete;

  private:
    std::vector<std::string> m_args;
    std::vector<char*> m_argv;
    int m_argc = 0;
    std::unique_ptr<QApplication> m_app;
};

// Runs the program for a person until it ends; needs a GuiApplication.
void RunGuiProgram(const GuiOptions& options);

// Plays a script in the real widgets; the transcript goes to `transcript`. Needs a
// GuiApplication.
script::ScriptResult RunScriptInWidgets(std::vector<script::Step> steps, const GuiOptions& options,
                                        std::ostream& transcript);

}  // namespace qtfront
