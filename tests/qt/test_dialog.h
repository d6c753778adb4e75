#pragma once
// A dialog with a control of every kind and a command bar, on a device of its own, that
// records every message reaching it. Tests of the front end run it with the Qt front end.

#include <functional>
#include <vector>

#include "platform/device.h"
#include "platform/ui/dialog.h"
#include "platform/ui/list_view.h"
#include "support/temp_folder.h"

namespace testing_support::qt {

inline constexpr int kUserEdit = 11;
inline constexpr int kPasswordEdit = 12;
inline constexpr int kGoButton = 13;
inline constexpr int kRememberBox = 14;
inline constexpr int kChoiceCombo = 15;
inline constexpr int kRowsList = 16;
inline constexpr int kProgressBar = 17;
inline constexpr int kCancelButton = 18;

inline constexpr int kShownCommand = 40001;
inline constexpr int kHiddenCommand = 40002;
inline constexpr int kDisabledCommand = 40003;
inline constexpr int kHelpCommand = 57670;
inline constexpr int kEndCommand = 40099;  // ends the dialog

const platform::ui::DialogTemplate& TestTemplate();

// A list whose third column may not be resized; records what was asked and the messages
// aimed at it (its pop-up menu's commands among them).
class RecordingList : public platform::ui::ListView {
  public:
    bool AllowColumnResize(int column) override {
        asked.push_back(column);
        return column != 2;
    }
    bool OnMessage(const platform::ui::Message& message) override {
        messages.push_back(message);
        return false;
    }
    std::vector<int> asked;
    std::vector<platform::ui::Message> messages;
};

class TestDialog : public platform::ui::Dialog {
  public:
    // `withHelp`: the command bar carries the help command (hidden).
    explicit TestDialog(bool withHelp = true, std::wstring title = L"Test window");

    const char* ClassName() const override { return "TestDialog"; }
    bool OnMessage(const platform::ui::Message& message) override;

    // Messages that reached the window, in order (the end command excluded).
    std::vector<platform::ui::Message> received;
    // Called for each of them, after recording.
    std::function<void(const platform::ui::Message&)> onMessage;
    RecordingList list;
    // Rows the list is filled with when the window initialises: "row N", size N * 10, type
    // "1" for even and "2" for odd N.
    int initialRows = 0;
    void AddRows(int count);

    // The messages of one kind and code.
    std::vector<platform::ui::Message> Received(platform::ui::MessageKind kind, int code = 0) const;

  protected:
    bool OnInitDialog() override;

  private:
    bool m_withHelp;
    std::wstring m_title;
};

// A device for the dialog: a temporary root, current for the thread while it lives.
class DialogDevice {
  public:
    explicit DialogDevice(platform::ui::Frontend& frontend);
    platform::Device& Device() { return m_device; }
    // The host folder that holds the device's files.
    const std::filesystem::path& Root() const { return m_root.Path(); }

  private:
    TempFolder m_root{"stowbox-qt"};
    platform::Device m_device;
    platform::ActiveDevice m_active;
};

// The message that ends a TestDialog.
platform::ui::Message EndMessage();

}  // namespace testing_support::qt
