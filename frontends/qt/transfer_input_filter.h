#pragma once
// While a transfer runs, the program reads input only through its cancel check. This filter
// swallows every input event during the check's pump, and turns a press on the device screen
// into a stylus-down message with device-screen coordinates, and Escape into a key-down
// message, for the check to find.

#include <QObject>

#include "platform/ui/message_queue.h"
#include "scale.h"

class QKeyEvent;
class QWidget;

namespace qtfront {

class TransferInputFilter final : public QObject {
  public:
    TransferInputFilter(QWidget& screen, Scale scale);
    ~TransferInputFilter() override;
    TransferInputFilter(const TransferInputFilter&) = delete;
    TransferInputFilter& operator=(const TransferInputFilter&) = delete;

    // Swallows input into `queue` while it lives.
    class Swallowing {
      public:
        Swallowing(TransferInputFilter& filter, platform::ui::MessageQueue& queue);
        ~Swallowing();
        Swallowing(const Swallowing&) = delete;
        Swallowing& operator=(const Swallowing&) = delete;

      private:
        TransferInputFilter& m_filter;
        platform::ui::MessageQueue* m_previous;
    };

    bool IsSwallowing() const { return m_queue != nullptr; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void StylusDown(QObject* watched, const QEvent* event);
    void KeyDown(const QKeyEvent& key);

    QWidget& m_screen;
    Scale m_scale;
    platform::ui::MessageQueue* m_queue = nullptr;
};

}  // namespace qtfront
