#pragma once

#include <QString>

#include <exception>

namespace nerina {

// A runtime error that ends the handler it happens in; the handler's error trap shows
// message() to the user. Database errors carry the engine's own text.
class AppError : public std::exception
{
public:
    explicit AppError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) { }
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

} // namespace nerina
