#include "gui_run.h"

#include <QApplication>
#include <cstdlib>

#include "platform/device.h"
#include "qt_frontend.h"
#include "script/script_player.h"
#include "script_automation.h"
#include "snapshots.h"

namespace qtfront {

namespace {

bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// A person's run that keeps a picture of every window that opens.
class WindowPictures final : public Automation {
  public:
    WindowPictures(QtFrontend& frontend, Snapshots& snapshots)
        : m_frontend(frontend), m_snapshots(snapshots) {}

    bool Idle(platform::Device&) override { return false; }
    void WindowOpened(const platform::ui::Window& window) override {
        m_snapshots.Save(m_frontend.Grab(), std::string("open-") + window.ClassName());
    }

  private:
    QtFrontend& m_frontend;
    Snapshots& m_snapshots;
};

}  // namespace

bool HasDisplay() {
    return EnvironmentSet("DISPLAY") || EnvironmentSet("WAYLAND_DISPLAY");
}

GuiApplication::GuiApplication(const char* programName, bool offscreenWithoutDisplay)
    : m_args{programName} {
    if (offscreenWithoutDisplay && !HasDisplay() && !EnvironmentSet("QT_QPA_PLATFORM")) {
        m_args.insert(m_args.end(), {"-platform", "offscreen"});
    }
    for (std::string& arg : m_args) {
        m_argv.push_back(arg.data());
    }
    m_argv.push_back(nullptr);
    m_argc = static_cast<int>(m_args.size());
    m_app = std::make_unique<QApplication>(m_argc, m_argv.data());
    QApplication::setApplicationName(QStringLiteral("Stowbox"));
    // Lets the desktop match the window with the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("stowbox"));
}

GuiApplication::~GuiApplication() = default;

void RunGuiProgram(const GuiOptions& options) {
    QtFrontend frontend(options.scale);
    std::optional<Snapshots> snapshots;
    std::optional<WindowPictures> pictures;
    if (options.screenshots) {
        snapshots.emplace(*options.screenshots);
        pictures.emplace(frontend, *snapshots);
        frontend.SetAutomation(&*pictures);
    }
    script::RunProgram(frontend, options.device);
    frontend.SetAutomation(nullptr);
}

script::ScriptResult RunScriptInWidgets(std::vector<script::Step> steps, const GuiOptions& options,
                                        std::ostream& transcript) {
    QtFrontend frontend(options.scale);
    script::ScriptPlayer player(std::move(steps), transcript);
    std::optional<Snapshots> snapshots;
    if (options.screenshots) {
        snapshots.emplace(*options.screenshots);
    }
    ScriptAutomation automation(player, frontend, snapshots ? &*snapshots : nullptr);
    frontend.SetAutomation(&automation);

    const script::ScriptResult result = script::PlayProgram(player, frontend, options.device);
    frontend.SetAutomation(nullptr);
    return result;
}

}  // namespace qtfront
