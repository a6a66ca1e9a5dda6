#include "forms.h"

#include "gamewindow.h"
#include "startupwindow.h"

namespace windows {

Forms::Forms(Services services)
    : startup([this] { return std::make_unique<StartupWindow>(*this); })
    , game([this] { return std::make_unique<GameWindow>(*this); })
    , m_services(std::move(services))
{ }

// The game window reads the setup window, so it goes first (members end in reverse order).
Forms::~Forms() = default;

} // namespace windows
