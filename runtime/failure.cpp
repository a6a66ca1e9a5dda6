#include "failure.h"

namespace runtime {

Failure::Failure(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) { }

void fail(const QString &message)
{
    throw Failure(message);
}

} // namespace runtime
