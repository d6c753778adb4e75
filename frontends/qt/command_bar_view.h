#pragma once
// The device command bar at the bottom of the screen: the window's image buttons, hidden
// ones left out, disabled ones greyed, each with its tooltip and the key of its command.

#include <QToolButton>
#include <QWidget>
#include <map>

#include "control_view.h"
#include "platform/ui/command_bar.h"

namespace qtfront {

// A button's tooltip with the keys of its command: "Upload Files (Ctrl+U)".
QString TooltipWithKey(const QString& tooltip, const QString& keys);

class CommandBarView final : public QWidget {
  public:
    CommandBarView(platform::ui::CommandBar& bar, QWidget& parent, const ViewContext& context);

    void Unbind(bool modelAlive);
    // The button of command `id`, or null.
    QToolButton* Button(int id) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Render();
    QToolButton& MakeButton(const platform::ui::CommandBarButton& button);

    platform::ui::CommandBar* m_bar;
    Scale m_scale;
    const Artwork& m_artwork;
    platform::ui::WindowHandle m_window;
    std::map<int, QToolButton*> m_buttons;  // children of this widget
};

}  // namespace qtfront
