#pragma once

#include <QString>
#include <stdexcept>

namespace db {

// Every failure of the database engine reaches the caller as this exception.
// message() is the readable text shown to the user.
class Error : public std::runtime_error {
  public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

  private:
    QString m_message;
};

} // namespace db
