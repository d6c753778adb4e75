#include "platform/device.h"

#include <algorithm>
#include <stdexcept>

#include "platform/ui/window.h"

namespace platform {

namespace {
thread_local Device* t_currentDevice = nullptr;
}  // namespace

Device::Device(ui::Frontend& frontend, std::filesystem::path root, net::Network network)
    : m_frontend(frontend), m_files(std::move(root)), m_network(std::move(network)) {
    m_network.SetWaitHook([this] { m_frontend.NetworkWaiting(m_queue); });
    m_network.SetProtectionHook(
        [this](bool isProtected) { m_frontend.ProtectionChanged(isProtected); });
}

ui::WindowHandle Device::Register(ui::Window& window) {
    m_windows.push_back(&window);
    return ++m_nextHandle;
}

void Device::Unregister(ui::Window& window) {
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), &window), m_windows.end());
}

ui::Window* Device::FromHandle(ui::WindowHandle handle) const {
    for (ui::Window* window : m_windows) {
        if (window->Handle() == handle) {
            return window;
        }
    }
    return nullptr;
}

void Device::AdjustWaitCursor(int delta) {
    const bool shown = m_waitCursor > 0;
    // The program ends the cursor more often than it begins it in places; never below zero.
    m_waitCursor = std::max(0, m_waitCursor + delta);
    if (shown != (m_waitCursor > 0)) {
        m_frontend.WaitCursorChanged(m_waitCursor > 0);
    }
}

Device& Device::Current() {
    if (t_currentDevice == nullptr) {
        throw std::logic_error("no device is active on this thread");
    }
    return *t_currentDevice;
}

bool Device::HasCurrent() {
    return t_currentDevice != nullptr;
}

ActiveDevice::ActiveDevice(Device& device) : m_previous(t_currentDevice) {
    t_currentDevice = &device;
}

ActiveDevice::~ActiveDevice() {
    t_currentDevice = m_previous;
}

}  // namespace platform
