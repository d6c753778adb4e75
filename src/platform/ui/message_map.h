#pragma once
// Static message tables: each window class maps commands and notifications to its handlers.

#include <cstddef>

#include "platform/ui/message.h"

namespace platform::ui {

template <class T>
struct MessageEntry {
    MessageKind kind;
    int id;    // command id, or control id of a notification
    int code;  // notification code (notifications only)
    void (T::*handler)() = nullptr;
    void (T::*handlerWithMessage)(const Message&) = nullptr;
};

template <class T>
constexpr MessageEntry<T> OnCommand(int id, void (T::*handler)()) {
    return {MessageKind::Command, id, 0, handler, nullptr};
}
template <class T>
constexpr MessageEntry<T> OnNotify(int controlId, int code, void (T::*handler)()) {
    return {MessageKind::Notify, controlId, code, handler, nullptr};
}
template <class T>
constexpr MessageEntry<T> OnNotify(int controlId, int code, void (T::*handler)(const Message&)) {
    return {MessageKind::Notify, controlId, code, nullptr, handler};
}
template <class T>
constexpr MessageEntry<T> OnHelpRequest(void (T::*handler)()) {
    return {MessageKind::Help, 0, 0, handler, nullptr};
}

// Calls the first matching handler; false when the table has none.
template <class T, std::size_t N>
bool DispatchMessageTable(T& self, const MessageEntry<T> (&table)[N], const Message& message) {
    for (const MessageEntry<T>& entry : table) {
        if (entry.kind != message.kind) {
            continue;
        }
        if (message.kind != MessageKind::Help &&
            (entry.id != message.id ||
             (message.kind == MessageKind::Notify && entry.code != message.code))) {
            continue;
        }
        if (entry.handler != nullptr) {
            (self.*entry.handler)();
        } else {
            (self.*entry.handlerWithMessage)(message);
        }
        return true;
    }
    return false;
}

}  // namespace platform::ui
