#pragma once
// The device the program runs on: its user interface thread state, file system and network.
// The launcher (or a test) owns it and makes it current for the thread that runs the program.

#include <filesystem>
#include <vector>

#include "platform/fs/file_system.h"
#include "platform/net/socket.h"
#include "platform/ui/frontend.h"
#include "platform/ui/message_queue.h"

namespace platform {

namespace ui {
class Window;
}

class Device {
  public:
    Device(ui::Frontend& frontend, std::filesystem::path root, net::Network network = {});
    // The network's wait hook refers to this device.
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    ui::Frontend& Frontend() { return m_frontend; }
    ui::MessageQueue& Queue() { return m_queue; }
    fs::FileSystem& Files() { return m_files; }
    net::Network& Net() { return m_network; }

    // Windows alive, innermost last.
    ui::WindowHandle Register(ui::Window& window);
    void Unregister(ui::Window& window);
    ui::Window* FromHandle(ui::WindowHandle handle) const;
    ui::Window* Innermost() const { return m_windows.empty() ? nullptr : m_windows.back(); }
    const std::vector<ui::Window*>& Windows() const { return m_windows; }

    int WaitCursorDepth() const { return m_waitCursor; }
    void AdjustWaitCursor(int delta);

    // The device of the calling thread; there must be one.
    static Device& Current();
    static bool HasCurrent();

  private:
    friend class ActiveDevice;
    ui::Frontend& m_frontend;
    ui::MessageQueue m_queue;
    fs::FileSystem m_files;
    net::Network m_network;
    std::vector<ui::Window*> m_windows;
    ui::WindowHandle m_nextHandle = 0x100;
    int m_waitCursor = 0;
};

// Makes a device current for the calling thread while it lives.
class ActiveDevice {
  public:
    explicit ActiveDevice(Device& device);
    ~ActiveDevice();
    ActiveDevice(const ActiveDevice&) = delete;
    ActiveDevice& operator=(const ActiveDevice&) = delete;

  private:
    Device* m_previous;
};

}  // namespace platform
