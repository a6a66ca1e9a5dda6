#pragma once

#include "rules/gameview.h"
#include "runtime/clock.h"
#include "runtime/failure.h"
#include "runtime/program.h"
#include "runtime/random.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <map>
#include <stdexcept>
#include <vector>

namespace runtime {
/** Forgets an earlier end, so that one test process can try several. */
void clearEnd();
} // namespace runtime

namespace fakes {

/** A random source that hands out a script of values and logs what it is asked. */
class ScriptedRandom final : public runtime::RandomSource
{
public:
    explicit ScriptedRandom(QList<float> script = {}) : m_script(std::move(script)) { }

    void randomize() override { log << QStringLiteral("seed"); }
    float next() override
    {
        if (m_drawn >= m_script.size())
            throw std::logic_error("the random script ran out");
        log << QStringLiteral("draw");
        return m_script.at(m_drawn++);
    }

    QStringList log;

private:
    QList<float> m_script;
    qsizetype m_drawn = 0;
};

/** A clock that moves only when a test moves it; its timers then run in the order they fall due. */
class FakeClock final : public runtime::Clock
{
public:
    void after(std::chrono::milliseconds duration, std::function<void()> action) override
    {
        m_timers.emplace(now + std::chrono::duration<double>(duration).count(), std::move(action));
    }

    /** Moves the clock on by `seconds`, running every timer that falls due, each inside a guard. */
    void advance(double seconds)
    {
        const double until = now + seconds;
        while (!m_timers.empty() && m_timers.begin()->first <= until) {
            auto due = m_timers.extract(m_timers.begin());
            now = due.key();
            runtime::guard(due.mapped());
        }
        now = until;
    }

    /** Seconds until the next timer falls due, or -1 when none is pending. */
    double nextDue() const { return m_timers.empty() ? -1 : m_timers.begin()->first - now; }

    double now = 1000.0;

private:
    std::multimap<double, std::function<void()>> m_timers;
};

/** The message of the failure that `code` raises, or an empty string when it raises none. */
inline QString failureOf(const std::function<void()> &code)
{
    try {
        code();
    } catch (const runtime::Failure &failure) {
        return failure.message();
    }
    return {};
}

/** A failure report that only records the message, for a test to compare. */
inline runtime::FailureReporter recordFailures(QStringList &reports)
{
    return [&reports](const QString &message, const std::function<void()> &done) {
        reports << message;
        done();
    };
}

/** A board without windows: it records each change in a log that reads as the effects in their order. */
class FakeView final : public rules::GameView
{
public:
    explicit FakeView(int cells = 40)
        : pictures(size_t(cells) + 1, 0), back(size_t(cells) + 1, true), face(size_t(cells) + 1, false)
    { }

    bool isBackShowing(int cell) const override { return back.at(size_t(cell)); }
    void setBackVisible(int cell, bool visible) override
    {
        back.at(size_t(cell)) = visible;
        log << QStringLiteral("%1Back %2").arg(visible ? u"show" : u"hide").arg(cell);
    }
    void setFaceVisible(int cell, bool visible) override
    {
        face.at(size_t(cell)) = visible;
        log << QStringLiteral("%1Face %2").arg(visible ? u"show" : u"hide").arg(cell);
    }
    void repaintFace(int cell) override { log << QStringLiteral("repaintFace %1").arg(cell); }
    // Stands for the handle of library picture p: one object per picture number.
    quint32 facePicture(int cell) const override { return 5000u + quint32(pictures.at(size_t(cell))); }
    void putPicture(int cell, int picture) override { pictures.at(size_t(cell)) = picture; }

    QString playerName(int player) const override { return names.at(size_t(player)); }
    void setTurnCaption(const QString &text) override { turn = text; }
    void setPlayerCaption(int player, const QString &text) override
    {
        players.at(size_t(player)) = text;
        log << QStringLiteral("player%1 %2").arg(player).arg(text);
    }
    void setScore(int player, int pairs) override
    {
        scores.at(size_t(player)) = QString::number(pairs);
        log << QStringLiteral("score%1 %2").arg(player).arg(pairs);
    }
    void attemptResolved(bool pair) override
    {
        attempts << (pair ? QStringLiteral("pair") : QStringLiteral("miss"));
    }
    void setWinnerCaption(const QString &text) override { winner = text; }
    void showWinner() override { winnerShown = true; }

    /** The dealt picture numbers of cells 1..count, as "2 1 2 1". */
    QString faces(int count) const
    {
        QStringList numbers;
        for (int cell = 1; cell <= count; ++cell)
            numbers << QString::number(pictures.at(size_t(cell)));
        return numbers.join(QLatin1Char(' '));
    }

    std::vector<int> pictures;
    std::vector<bool> back;
    std::vector<bool> face;
    std::array<QString, 2> names {QStringLiteral("A"), QStringLiteral("B")};
    QString turn;
    std::array<QString, 2> players;
    std::array<QString, 2> scores;
    QString winner;
    bool winnerShown = false;
    QStringList attempts; // "pair" or "miss", one a turn
    QStringList log;
};

} // namespace fakes
