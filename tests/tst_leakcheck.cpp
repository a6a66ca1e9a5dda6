// A program that leaks on purpose, in one kind of event handler, so that ctest can hold the leak checker to
// report it under the project's suppressions with whole stacks: a suppression that names a library every
// handler runs under (glib's dispatch, D-Bus's) would hide it, and this fails.
//   tst_leakcheck click | timer | accessibility
// It quits once the handler has run; the leak report names the planted function.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Volatile, so that the optimiser keeps the allocation; the pointer is dropped when the next one is stored.
void *volatile kept = nullptr;

Q_NEVER_INLINE void plantedLeak()
{
    kept = std::malloc(48);
    kept = nullptr;
}

class PlantedAccessible : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name) {
            plantedLeak();
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *plantedFactory(const QString &, QObject *object)
{
    auto *button = qobject_cast<QPushButton *>(object);
    return button != nullptr ? new PlantedAccessible(button, QAccessible::Button) : nullptr;
}

// As a screen reader asks: the desktop's first application, its first window, then that window's name.
class Reader : public QObject
{
public:
    Reader()
    {
        const QDBusMessage address = QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                           QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")));
        if (address.type() != QDBusMessage::ReplyMessage)
            qFatal("no accessibility bus: %s", qPrintable(address.errorMessage()));
        m_bus = QDBusConnection::connectToBus(address.arguments().value(0).toString(),
                                              QStringLiteral("reader"));
        ask(QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("/org/a11y/atspi/accessible/root"));
    }

private:
    // The first child of the accessible `path` of `service`; its name once it is a window.
    void ask(const QString &service, const QString &path)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, path, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("GetChildAtIndex"));
        call << 0;
        auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, service, path](QDBusPendingCallWatcher *w) {
                    w->deleteLater();
                    const QDBusMessage reply = w->reply();
                    QString childService;
                    QDBusObjectPath childPath;
                    if (reply.type() == QDBusMessage::ReplyMessage) {
                        const QDBusArgument child = reply.arguments().value(0).value<QDBusArgument>();
                        child.beginStructure();
                        child >> childService >> childPath;
                        child.endStructure();
                    }
                    if (childService.isEmpty()
                        || childPath.path() == QStringLiteral("/org/a11y/atspi/null")) {
                        // The application has not joined the desktop yet.
                        QTimer::singleShot(50, this, [this, service, path] { ask(service, path); });
                    } else if (service == QStringLiteral("org.a11y.atspi.Registry")) {
                        ask(childService, childPath.path());
                    } else {
                        QDBusMessage name = QDBusMessage::createMethodCall(
                            childService, childPath.path(), QStringLiteral("org.freedesktop.DBus.Properties"),
                            QStringLiteral("Get"));
                        name << QStringLiteral("org.a11y.atspi.Accessible") << QStringLiteral("Name");
                        m_bus.asyncCall(name);
                    }
                });
    }

    QDBusConnection m_bus {QString()};
};

} // namespace

int main(int argc, char *argv[])
{
    const QByteArray kind = argc == 2 ? QByteArray(argv[1]) : QByteArray();
    if (kind == "accessibility")
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    QApplication app(argc, argv);
    // Before the button: an interface once made is kept.
    QAccessible::installFactory(plantedFactory);
    QPushButton button(QStringLiteral("Leak"));
    button.show();
    std::unique_ptr<Reader> reader;

    if (kind == "click") {
        QObject::connect(&button, &QPushButton::clicked, &app, [] {
            plantedLeak();
            QCoreApplication::quit();
        });
        const QPointF centre = QRectF(button.rect()).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(&button,
                                        new QMouseEvent(type, centre, button.mapToGlobal(centre),
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    } else if (kind == "timer") {
        QTimer::singleShot(0, &app, [] {
            plantedLeak();
            QCoreApplication::quit();
        });
    } else if (kind == "accessibility") {
        reader = std::make_unique<Reader>();
    } else {
        std::fprintf(stderr, "usage: tst_leakcheck click|timer|accessibility\n");
        return 2;
    }
    return app.exec();
}
