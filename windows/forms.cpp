#include "forms.h"

#include "accessibility.h"
#include "gamewindow.h"
#include "startupwindow.h"

#include "controls/twips.h"
#include "controls/windowing.h"
#include "pictures/imageswindow.h"
#include "runtime/program.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QResource>

#include <utility>

namespace windows {

// The sizes drawn for title bars and task switchers lie in the resources as raw premultiplied pixels, red,
// green, blue and alpha bytes in that order whatever the processor's byte order, "16.rgba" and so on: nothing
// is decoded, and no image plugin is asked what they are.
QIcon applicationIcon()
{
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icon"), QDir::Files);
    while (sizes.hasNext()) {
        const QResource pixels(sizes.next());
        const int size = QFileInfo(pixels.fileName()).baseName().toInt();
        if (size > 0 && pixels.size() == qint64(size) * size * 4
            && pixels.compressionAlgorithm() == QResource::NoCompression)
            icon.addPixmap(
                QPixmap::fromImage(QImage(pixels.data(), size, size, QImage::Format_RGBA8888_Premultiplied)));
    }
    return icon;
}

Forms::Forms(Services services)
    : startup([this] { return std::make_unique<StartupWindow>(*this); })
    , game([this] { return std::make_unique<GameWindow>(*this); })
    , images([this] { return std::make_unique<pictures::ImagesWindow>(m_services.appPath); })
    , m_services(std::move(services))
{
    installAccessibility();
    controls::pickControlsByTheirPixels();
    runtime::setWindowCloser(controls::closeEveryWindow);
}

// Members end in reverse order: the library, then the game window, then the setup window it reads.
Forms::~Forms()
{
    runtime::setWindowCloser({});
}

rules::Actions::Outcome Forms::report(const rules::Action &action)
{
    auto outcome = rules::Actions::Outcome::Dropped;
    runtime::guard([this, &action, &outcome] { outcome = m_actions.report(action); });
    return outcome;
}

void Forms::play(int cellCount)
{
    GameWindow &window = game.get();
    controls::Show(window);
    window.setUp(cellCount);
}

void Forms::quit()
{
    runtime::End();
}

bool Forms::mayClose(rules::Window window)
{
    const auto kind
        = window == rules::Window::Game ? rules::Action::Kind::CloseGame : rules::Action::Kind::CloseSetup;
    return report({kind}) == rules::Actions::Outcome::Now;
}

// A close that waited for a miss: the window closes again, and this time it may.
void Forms::close(rules::Window window)
{
    if (window == rules::Window::Game)
        game.get().close();
    else
        startup.get().close();
}

} // namespace windows
