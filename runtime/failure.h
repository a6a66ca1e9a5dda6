#pragma once

#include <QString>

#include <stdexcept>

namespace runtime {

/** A run-time failure that no code handles: it unwinds to the handler's guard, which reports it. */
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

/** Raises the failure `message`; it ends the program once it reaches the guard. */
[[noreturn]] void fail(const QString &message);

} // namespace runtime
