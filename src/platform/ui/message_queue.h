#pragma once
// The message queue of the user interface thread.

#include <deque>
#include <optional>

#include "platform/ui/message.h"

namespace platform::ui {

class MessageQueue {
  public:
    void Post(const Message& message) { m_messages.push_back(message); }
    // Takes the oldest pending message without dispatching it.
    std::optional<Message> TakeOldest() {
        if (m_messages.empty()) {
            return std::nullopt;
        }
        Message oldest = m_messages.front();
        m_messages.pop_front();
        return oldest;
    }
    bool Empty() const { return m_messages.empty(); }
    std::size_t Size() const { return m_messages.size(); }

  private:
    std::deque<Message> m_messages;
};

}  // namespace platform::ui
