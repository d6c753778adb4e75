#include "command_bar_view.h"

#include <QPainter>

#include "command_keys.h"
#include "device_metrics.h"

namespace qtfront {

using platform::ui::kCommandBarHeight;
using platform::ui::kScreenHeight;
using platform::ui::kScreenWidth;

QString TooltipWithKey(const QString& tooltip, const QString& keys) {
    if (keys.isEmpty()) {
        return tooltip;
    }
    return tooltip.isEmpty() ? keys : tooltip + QStringLiteral(" (") + keys + QStringLiteral(")");
}

CommandBarView::CommandBarView(platform::ui::CommandBar& bar, QWidget& parent,
                               const ViewContext& context)
    : QWidget(&parent),
      m_bar(&bar),
      m_scale(context.scale),
      m_artwork(context.artwork),
      m_window(context.window) {
    setGeometry(context.scale.ToWidget(
        {0, kScreenHeight - kCommandBarHeight, kScreenWidth, kCommandBarHeight}));
    Render();
    bar.SetObserver([this](const platform::ui::ControlChange&) { Render(); });
}

void CommandBarView::Unbind(bool modelAlive) {
    if (m_bar != nullptr && modelAlive) {
        m_bar->SetObserver(nullptr);
    }
    m_bar = nullptr;
}

QToolButton* CommandBarView::Button(int id) const {
    const auto found = m_buttons.find(id);
    return found == m_buttons.end() ? nullptr : found->second;
}

QToolButton& CommandBarView::MakeButton(const platform::ui::CommandBarButton& button) {
    auto* tool = new QToolButton(this);
    tool->setAutoRaise(true);
    // In the Tab order after the window's controls, which were made before the bar; a click
    // leaves the focus where it was.
    tool->setFocusPolicy(Qt::TabFocus);
    tool->setIcon(QIcon(m_artwork.ToolbarImage(button.image)));
    tool->setIconSize(QSize(m_scale.Px(kToolbarImageSize), m_scale.Px(kToolbarImageSize)));
    tool->setToolTip(TooltipWithKey(ToQString(button.tooltip), KeyTextOf(button.id)));
    const platform::ui::WindowHandle window = m_window;
    const int id = button.id;
    connect(tool, &QToolButton::clicked, this, [window, id] {
        platform::ui::Message command;
        command.kind = platform::ui::MessageKind::Command;
        command.window = window;
        command.id = id;
        Post(command);
    });
    m_buttons[id] = tool;
    return *tool;
}

void CommandBarView::Render() {
    int x = 2;
    const int top = (kCommandBarHeight - kCommandButtonSize) / 2 + 1;
    for (const platform::ui::CommandBarButton& button : m_bar->Buttons()) {
        QToolButton* tool = Button(button.id);
        if (tool == nullptr) {
            tool = &MakeButton(button);
        }
        tool->setVisible(button.visible);
        tool->setEnabled(button.enabled);
        if (button.visible) {
            tool->setGeometry(m_scale.ToWidget({x, top, kCommandButtonSize, kCommandButtonSize}));
            x += kCommandButtonSize;
        }
    }
}

void CommandBarView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xe6, 0xe8, 0xec));
    painter.setPen(QColor(0xa0, 0xa6, 0xb0));
    painter.drawLine(rect().topLeft(), rect().topRight());
}

}  // namespace qtfront
