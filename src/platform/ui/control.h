#pragma once
// Controls are models: a window owns their state, a front end renders it and is told what
// changed.

#include <functional>
#include <string>

#include "platform/ui/dialog_template.h"
#include "platform/ui/message.h"

namespace platform::ui {

class Window;

struct ControlChange {
    enum class What {
        Text,          // text or masked text of an edit, button, check box
        State,         // visibility, enabled, checked
        Entries,       // combo box entries or selection
        Columns,       // list view columns
        RowsInserted,  // list view: count rows from first
        RowsRemoved,   // list view: count rows from first
        RowsChanged,   // list view: count rows from first changed in place
        Reset,         // list view: everything may have changed
        Selection,     // list view selection mark
        Progress,      // progress bar range or position
        Buttons,       // command bar buttons
    };
    What what;
    int first = 0;
    int count = 0;
};

class Control {
  public:
    using Observer = std::function<void(const ControlChange&)>;

    Control() = default;
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Binds the control to its window and template when the window is created.
    virtual void Attach(Window& window, const ControlTemplate& tmpl);

    int Id() const { return m_template.id; }
    ControlKind Kind() const { return m_template.kind; }
    const ControlTemplate& Template() const { return m_template; }
    Window* Owner() const { return m_window; }
    // The control's rectangle on the device screen, where its window is placed.
    Rect ScreenRect() const;

    const std::wstring& GetWindowText() const { return m_text; }
    void SetWindowText(std::wstring text);
    bool IsVisible() const { return m_visible; }
    void ShowWindow(bool visible);
    bool IsEnabled() const { return m_enabled; }
    void EnableWindow(bool enabled);

    // The front end's view of this control; one at a time.
    void SetObserver(Observer observer) { m_observer = std::move(observer); }

    // Messages aimed at this control (reflected notifications, commands of a pop-up menu
    // it owns). True when handled here.
    virtual bool OnMessage(const Message&) { return false; }

    // Input at a point in device-screen pixels: the window hands a tap to the control under it,
    // a front end (or a script's player) its gestures on the control. True when taken; by
    // default nothing is taken.
    virtual bool TapAt(Point) { return false; }
    virtual bool DoubleTapAt(Point) { return false; }
    virtual bool HoldAt(Point) { return false; }

  protected:
    void Changed(ControlChange change) const {
        if (m_observer) {
            m_observer(change);
        }
    }

  private:
    Window* m_window = nullptr;
    ControlTemplate m_template;
    std::wstring m_text;
    bool m_visible = true;
    bool m_enabled = true;
    Observer m_observer;
};

// The control as its own class, for the few places that need the concrete model (a front
// end binding a widget, a script step reading a list): null when it is another class.
template <class T>
T* ControlAs(Control* control) {
    return dynamic_cast<T*>(control);
}
template <class T>
const T* ControlAs(const Control* control) {
    return dynamic_cast<const T*>(control);
}
// The same where the control must be of that class: std::bad_cast when it is not.
template <class T>
T& ControlAs(Control& control) {
    return dynamic_cast<T&>(control);
}

}  // namespace platform::ui
