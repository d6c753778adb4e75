#pragma once
// The device screen as one window shows it: the title strip with its title, the window's
// background and controls laid out from its template, and its command bar.

#include <QWidget>
#include <vector>

#include "control_view.h"
#include "platform/ui/window.h"

namespace qtfront {

class CommandBarView;
class FocusMark;
class TitleStrip;

class WindowView final : public QWidget {
  public:
    WindowView(platform::ui::Window& window, QWidget& screen, const Artwork& artwork, Scale scale);

    // Stops listening to the window's models (`modelsAlive` false: they are gone already,
    // only forget them).
    void Unbind(bool modelsAlive);
    // Applies held-back model changes of every control.
    void Sync();
    void UpdateTitle();
    // Paints the window (0) or one control now.
    void RepaintNow(int controlId);
    // Puts the keyboard focus on the first control that takes it.
    void FocusFirstControl();
    // Draws the command bar and the buttons inactive while the program is busy, all but a
    // button whose tap the transfer cancel check takes: a press on it still ends a transfer.
    void SetInputBlocked(bool blocked);

    const platform::ui::Window& Model() const { return *m_window; }
    bool Shows(const platform::ui::Window& window) const { return m_window == &window; }
    // The widget of control `id`, or null.
    QWidget* ControlWidget(int id) const;
    CommandBarView& CommandBar() const { return *m_commandBar; }
    TitleStrip& Title() const { return *m_title; }
    FocusMark& Focus() const { return *m_focusMark; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void PostStylus(platform::ui::MessageKind kind, QPoint pos) const;

    platform::ui::Window* m_window;
    Scale m_scale;
    ViewContext m_context;
    std::vector<std::pair<int, ControlView*>> m_views;  // children of this widget
    TitleStrip* m_title;
    CommandBarView* m_commandBar;
    FocusMark* m_focusMark = nullptr;
    bool m_drawBackground = true;
};

}  // namespace qtfront
