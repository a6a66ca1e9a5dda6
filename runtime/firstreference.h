#pragma once

#include <functional>
#include <memory>

namespace runtime {

/**
 * A window that comes into being on its first use: that use creates it and runs its load step to the
 * end before going on. Once created, the window lives as long as this reference.
 */
template<class Window> class FirstReference
{
public:
    explicit FirstReference(std::function<std::unique_ptr<Window>()> create) : m_create(std::move(create)) { }

    Window &operator*() { return get(); }
    Window *operator->() { return &get(); }

    Window &get()
    {
        if (!m_window) {
            m_window = m_create();
            // The window exists from here on, even when its load step fails half-way.
            if constexpr (requires(Window & window) { window.Form_Load(); })
                m_window->Form_Load();
        }
        return *m_window;
    }

    /** Whether the window has been created, without creating it. */
    bool exists() const { return m_window != nullptr; }

private:
    std::function<std::unique_ptr<Window>()> m_create;
    std::unique_ptr<Window> m_window;
};

} // namespace runtime
