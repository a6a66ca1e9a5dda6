#include "forms.h"

#include "accessibility.h"
#include "gamewindow.h"
#include "startupwindow.h"

#include "controls/services.h"
#include "pictures/imageswindow.h"
#include "runtime/program.h"

#include <QDirIterator>
#include <QIcon>

namespace windows {

QIcon applicationIcon()
{
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icon"), {QStringLiteral("*.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    return icon;
}

Forms::Forms(Services services)
    : startup([this] { return std::make_unique<StartupWindow>(*this); })
    , game([this] { return std::make_unique<GameWindow>(*this); })
    , images([this] { return std::make_unique<pictures::ImagesWindow>(m_services.appPath); })
    , m_services(std::move(services))
{
    installAccessibility();
    runtime::setWindowCloser(controls::closeEveryWindow);
}

// Members end in reverse order: the library, then the game window, then the setup window it reads.
Forms::~Forms()
{
    runtime::setWindowCloser({});
}

void Forms::handle(std::function<void()> handler)
{
    runtime::guard([this, &handler] {
        if (game.exists())
            game->whenSettled(std::move(handler));
        else
            handler();
    });
}

bool Forms::holdClose(QWidget &window)
{
    if (!game.exists() || !game->isShowingMiss())
        return false;
    handle([&window] { window.close(); });
    return true;
}

} // namespace windows
