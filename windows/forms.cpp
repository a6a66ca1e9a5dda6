#include "forms.h"

#include "accessibility.h"
#include "gamewindow.h"
#include "startupwindow.h"

#include "controls/windowing.h"
#include "pictures/imageswindow.h"
#include "runtime/program.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QResource>
#include <QScopeGuard>

#include <utility>

namespace windows {

// The sizes drawn for title bars and task switchers lie in the resources as raw premultiplied pixels,
// "16.argb" and so on: nothing is decoded, and no image plugin is asked what they are.
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
                QPixmap::fromImage(QImage(pixels.data(), size, size, QImage::Format_ARGB32_Premultiplied)));
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
    runtime::setWindowCloser(controls::closeEveryWindow);
}

// Members end in reverse order: the library, then the game window, then the setup window it reads.
Forms::~Forms()
{
    runtime::setWindowCloser({});
}

void Forms::report(const rules::Action &action)
{
    runtime::guard([this, &action] { m_actions.report(action); });
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

bool Forms::mayClose(const QWidget &window, rules::Action::Kind kind)
{
    if (m_closing == &window)
        return true;
    m_asking = &window;
    m_closesNow = false;
    report({kind});
    m_asking = nullptr;
    return std::exchange(m_closesNow, false);
}

void Forms::close(rules::Action::Kind window)
{
    QWidget &closing = window == rules::Action::Kind::CloseGame ? static_cast<QWidget &>(game.get())
                                                                : static_cast<QWidget &>(startup.get());
    // The close that a player has just asked for goes on; Qt would not start another one inside it.
    if (&closing == m_asking) {
        m_closesNow = true;
        return;
    }
    m_closing = &closing;
    const auto closed = qScopeGuard([this] { m_closing = nullptr; });
    closing.close();
}

} // namespace windows
