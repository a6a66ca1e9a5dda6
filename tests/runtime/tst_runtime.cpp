#include "fakes/fakes.h"
#include "runtime/checked.h"
#include "runtime/clock.h"
#include "runtime/platformchoice.h"
#include "runtime/program.h"
#include "runtime/programpath.h"
#include "runtime/random.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <functional>

using runtime::Byte;
using runtime::Int16;

namespace {

const QString overflow = QStringLiteral("Overflow");

// Run as a child process: one handler fails inside the event loop; the report goes to standard output.
int failInsideEventLoop(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    runtime::setFailureReporter([](const QString &message, const std::function<void()> &done) {
        std::printf("report: %s\n", qPrintable(message));
        std::fflush(stdout);
        done();
    });
    // The clock's timers run inside a guard like every handler.
    runtime::SystemClock clock;
    clock.after(std::chrono::milliseconds(1), [] { runtime::fail(QStringLiteral("Disk on fire")); });
    // Never reached when the failure ends the loop as it should.
    QTimer::singleShot(5000, &app, [] { QCoreApplication::exit(0); });
    const int status = QCoreApplication::exec();
    return runtime::hasEnded() ? runtime::exitStatus() : status;
}

} // namespace

class tst_Runtime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { runtime::clearEnd(); }

    void checkedArithmetic_data();
    void checkedArithmetic();
    void conversionsRoundTiesToEven_data();
    void conversionsRoundTiesToEven();
    void unitIntervalNeverReachesOne();
    void seedingFromTheClockChangesTheDraws();

    void timerRunsAfterItsTimeWithoutHoldingTheLoop();
    void programPathIsTheExecutablesDirectory();
    void x11FirstOnGnomeWithoutAdwaitaDecoration_data();
    void x11FirstOnGnomeWithoutAdwaitaDecoration();

    void failureInHandlerIsReportedAndEndsTheProgram();
    void failureStopsEveryCallerUpToTheOutermostGuard();
    void endStopsTheHandlerWithoutReport();
    void failureEndsTheRealEventLoopWithNonZeroStatus();
};

void tst_Runtime::checkedArithmetic_data()
{
    QTest::addColumn<std::function<int()>>("compute");
    QTest::addColumn<int>("result"); // meaningful only without failure
    QTest::addColumn<QString>("failure");

    using Compute = std::function<int()>;
    QTest::newRow("byte 254 + 1") << Compute([] { return int(Byte(254) + 1); }) << 255 << QString();
    QTest::newRow("byte 255 + 1") << Compute([] { return int(Byte(255) + 1); }) << 0 << overflow;
    QTest::newRow("byte 0 - 1") << Compute([] { return int(Byte(0) - 1); }) << 0 << overflow;
    QTest::newRow("byte from 256") << Compute([] { return int(Byte(256)); }) << 0 << overflow;
    QTest::newRow("byte from -1") << Compute([] { return int(Byte(-1)); }) << 0 << overflow;
    QTest::newRow("byte 20 + 20") << Compute([] { return int(Byte(20) + Byte(20)); }) << 40 << QString();
    QTest::newRow("int16 32767 + 1") << Compute([] { return int(Int16(32767) + 1); }) << 0 << overflow;
    QTest::newRow("int16 -32768 - 1") << Compute([] { return int(Int16(-32768) - 1); }) << 0 << overflow;
    QTest::newRow("int16 1440 * 3") << Compute([] { return int(Int16(1440) * 3); }) << 4320 << QString();
    QTest::newRow("int16 200 * 200") << Compute([] { return int(Int16(200) * Int16(200)); }) << 0 << overflow;
    QTest::newRow("int16 += past the top") << Compute([] {
        Int16 value = 32760;
        value += 8;
        return int(value);
    }) << 0 << overflow;
}

void tst_Runtime::checkedArithmetic()
{
    QFETCH(std::function<int()>, compute);
    QFETCH(int, result);
    QFETCH(QString, failure);

    int value = 0;
    QCOMPARE(fakes::failureOf([&] { value = compute(); }), failure);
    if (failure.isEmpty())
        QCOMPARE(value, result);
}

void tst_Runtime::conversionsRoundTiesToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");
    QTest::addColumn<int>("floored");
    QTest::addColumn<QString>("failure");

    QTest::newRow("4.5") << 4.5 << 4 << 4 << QString();
    QTest::newRow("3.5") << 3.5 << 4 << 3 << QString();
    QTest::newRow("2.5") << 2.5 << 2 << 2 << QString();
    QTest::newRow("1.5") << 1.5 << 2 << 1 << QString();
    QTest::newRow("0.5") << 0.5 << 0 << 0 << QString();
    QTest::newRow("-0.5") << -0.5 << 0 << -1 << QString();
    QTest::newRow("2.6") << 2.6 << 3 << 2 << QString();
    QTest::newRow("32767.4") << 32767.4 << 32767 << 32767 << QString();
    QTest::newRow("32768") << 32768.0 << 0 << 0 << overflow;
    QTest::newRow("-32769") << -32769.0 << 0 << 0 << overflow;
    QTest::newRow("NaN") << std::nan("") << 0 << 0 << overflow;
}

void tst_Runtime::conversionsRoundTiesToEven()
{
    QFETCH(double, value);
    QFETCH(int, rounded);
    QFETCH(int, floored);
    QFETCH(QString, failure);

    int round = 0;
    int floor = 0;
    QCOMPARE(fakes::failureOf([&] { round = runtime::roundToInt16(value); }), failure);
    QCOMPARE(fakes::failureOf([&] { floor = runtime::floorToInt16(value); }), failure);
    if (failure.isEmpty()) {
        QCOMPARE(round, rounded);
        QCOMPARE(floor, floored);
    }
}

void tst_Runtime::unitIntervalNeverReachesOne()
{
    QCOMPARE(runtime::unitInterval(0), 0.0f);
    QCOMPARE(runtime::unitInterval(0xFFFFFFFFu), 1.0f - 0x1p-24f);
    QVERIFY(runtime::unitInterval(0xFFFFFFFFu) < 1.0f);

    runtime::SystemRandom random;
    random.randomize();
    for (int draw = 0; draw < 100000; ++draw) {
        const float r = random.next();
        QVERIFY(r >= 0.0f && r < 1.0f);
    }
}

// Two fresh generators start alike; seeded from the clock at different moments, their deals differ.
void tst_Runtime::seedingFromTheClockChangesTheDraws()
{
    const auto draws = [] {
        runtime::SystemRandom random;
        random.randomize();
        QList<float> values;
        for (int i = 0; i < 8; ++i)
            values << random.next();
        return values;
    };
    const QList<float> first = draws();
    QTest::qSleep(2);
    QVERIFY(draws() != first);
}

// The timer falls due no earlier than asked, and the event loop handles other events meanwhile.
void tst_Runtime::timerRunsAfterItsTimeWithoutHoldingTheLoop()
{
    runtime::SystemClock clock;
    QElapsedTimer elapsed;
    elapsed.start();
    qint64 firedAfter = -1;
    bool loopRan = false;
    clock.after(std::chrono::milliseconds(300), [&] { firedAfter = elapsed.elapsed(); });
    QTimer::singleShot(10, [&] { loopRan = firedAfter < 0; });
    QTRY_VERIFY(firedAfter >= 0);
    QVERIFY2(firedAfter >= 300, qPrintable(QString::number(firedAfter)));
    QVERIFY(loopRan);

    // A timer still pending when its clock ends never runs.
    bool ran = false;
    {
        runtime::SystemClock gone;
        gone.after(std::chrono::milliseconds(1), [&ran] { ran = true; });
    }
    clock.after(std::chrono::milliseconds(20), [&] { firedAfter = -2; });
    QTRY_COMPARE(firedAfter, qint64(-2));
    QVERIFY(!ran);
}

void tst_Runtime::programPathIsTheExecutablesDirectory()
{
    const std::optional<QByteArray> path = runtime::appPath();
    QVERIFY(path);
    QCOMPARE(QFile::decodeName(*path), QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath());
}

void tst_Runtime::x11FirstOnGnomeWithoutAdwaitaDecoration_data()
{
    QTest::addColumn<QStringList>("environment"); // over a GNOME Wayland session that offers X11 too
    QTest::addColumn<bool>("platformOption");
    QTest::addColumn<bool>("adwaita"); // a decoration plugin of GNOME's style among Qt's plugins
    QTest::addColumn<QByteArray>("platforms");

    const QByteArray x11First("xcb;wayland");
    QTest::newRow("GNOME") << QStringList() << false << false << x11First;
    QTest::newRow("ubuntu:GNOME") << QStringList {"XDG_CURRENT_DESKTOP=ubuntu:GNOME"} << false << false
                                  << x11First;
    QTest::newRow("gnome") << QStringList {"XDG_CURRENT_DESKTOP=gnome"} << false << false << x11First;

    QTest::newRow("an Adwaita decoration") << QStringList() << false << true << QByteArray();
    QTest::newRow("KDE") << QStringList {"XDG_CURRENT_DESKTOP=KDE"} << false << false << QByteArray();
    QTest::newRow("no DISPLAY") << QStringList {"DISPLAY="} << false << false << QByteArray();
    QTest::newRow("an X11 session") << QStringList {"XDG_SESSION_TYPE=x11"} << false << false << QByteArray();

    QTest::newRow("QT_QPA_PLATFORM") << QStringList {"QT_QPA_PLATFORM=wayland"} << false << false
                                     << QByteArray();
    QTest::newRow("-platform") << QStringList() << true << false << QByteArray();
    for (const char *choice : {"QT_WAYLAND_DECORATION=bradient", "QT_WAYLAND_DISABLE_WINDOWDECORATION=1",
                               "QT_WAYLAND_SHELL_INTEGRATION=xdg-shell"})
        QTest::newRow(choice) << QStringList {QString::fromLatin1(choice)} << false << false << QByteArray();
}

void tst_Runtime::x11FirstOnGnomeWithoutAdwaitaDecoration()
{
    QFETCH(QStringList, environment);
    QFETCH(bool, platformOption);
    QFETCH(bool, adwaita);
    QFETCH(QByteArray, platforms);

    QMap<QByteArray, QByteArray> variables {{"XDG_SESSION_TYPE", "wayland"},
                                            {"XDG_CURRENT_DESKTOP", "GNOME"},
                                            {"WAYLAND_DISPLAY", "wayland-0"},
                                            {"DISPLAY", ":0"}};
    for (const QString &assignment : environment)
        variables[assignment.section(u'=', 0, 0).toUtf8()] = assignment.section(u'=', 1).toUtf8();
    QTemporaryDir plugins;
    QVERIFY(QDir(plugins.path()).mkpath(QStringLiteral("wayland-decoration-client")));
    for (const QString &name : {QStringLiteral("libbradient.so"), QStringLiteral("libadwaita.so")})
        if (adwaita || name == QStringLiteral("libbradient.so"))
            QVERIFY(QFile(plugins.filePath(QStringLiteral("wayland-decoration-client/") + name))
                        .open(QIODevice::WriteOnly));
    const runtime::PlatformSession session {[&variables](const char *name) { return variables.value(name); },
                                            platformOption,
                                            {QStringLiteral("/nonexistent"), plugins.path()}};
    QCOMPARE(runtime::preferredPlatforms(session), platforms);
}

void tst_Runtime::failureInHandlerIsReportedAndEndsTheProgram()
{
    QStringList reports;
    runtime::setFailureReporter(fakes::recordFailures(reports));
    bool after = false;
    runtime::guard([&] {
        Byte score = 255;
        score = score + 1;
        after = true;
    });
    QVERIFY(!after);
    QCOMPARE(reports, QStringList {overflow});
    QVERIFY(runtime::hasEnded());
    QCOMPARE(runtime::exitStatus(), 1);

    // Once the program is ending, no further handler runs.
    bool ran = false;
    runtime::guard([&] { ran = true; });
    QVERIFY(!ran);
    runtime::setFailureReporter({});
}

void tst_Runtime::failureStopsEveryCallerUpToTheOutermostGuard()
{
    QStringList reports;
    runtime::setFailureReporter(fakes::recordFailures(reports));
    QStringList steps;
    runtime::guard([&] {
        steps << QStringLiteral("outer");
        runtime::guard([&] {
            steps << QStringLiteral("inner");
            runtime::fail(QStringLiteral("Cannot load picture \"/x/F5.gif\": file not found"));
        });
        steps << QStringLiteral("after inner");
    });
    QCOMPARE(steps, QStringList({QStringLiteral("outer"), QStringLiteral("inner")}));
    QCOMPARE(reports, QStringList {QStringLiteral("Cannot load picture \"/x/F5.gif\": file not found")});
    runtime::setFailureReporter({});
}

void tst_Runtime::endStopsTheHandlerWithoutReport()
{
    QStringList reports;
    runtime::setFailureReporter(fakes::recordFailures(reports));
    bool closed = false;
    runtime::setWindowCloser([&closed] { closed = true; });
    bool after = false;
    runtime::guard([&] {
        runtime::End();
        after = true;
    });
    QVERIFY(!after);
    QVERIFY(reports.isEmpty());
    QVERIFY(runtime::hasEnded());
    QCOMPARE(runtime::exitStatus(), 0);
    QVERIFY(closed);
    runtime::setWindowCloser({});
    runtime::setFailureReporter({});
}

void tst_Runtime::failureEndsTheRealEventLoopWithNonZeroStatus()
{
    if (qEnvironmentVariableIsSet("PF_NO_CHILD_PROCESS"))
        QSKIP(qPrintable(qEnvironmentVariable("PF_NO_CHILD_PROCESS")));
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--fail-inside-event-loop")});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 1);
    QCOMPARE(child.readAllStandardOutput(), QByteArray("report: Disk on fire\n"));
}

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--fail-inside-event-loop") == 0)
        return failInsideEventLoop(1, argv);
    QCoreApplication app(argc, argv);
    tst_Runtime test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_runtime.moc"
