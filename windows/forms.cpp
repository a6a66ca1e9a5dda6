#include "forms.h"

#include "accessibility.h"

#include "gamewindow.h"
#include "startupwindow.h"

#include "pictures/imageswindow.h"

namespace windows {

Forms::Forms(Services services)
    : startup([this] { return std::make_unique<StartupWindow>(*this); })
    , game([this] { return std::make_unique<GameWindow>(*this); })
    , images([this] { return std::make_unique<pictures::ImagesWindow>(m_services.appPath); })
    , m_services(std::move(services))
{
    installAccessibility();
}

// Members end in reverse order: the library, then the game window, then the setup window it reads.
Forms::~Forms() = default;

} // namespace windows
