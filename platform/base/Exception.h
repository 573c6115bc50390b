#pragma once
// The system's ordinary error: an exception that carries a message text. Every layer raises these;
// the report request shows the message and goes on, everything else reaches the application handler.
#include <QByteArray>
#include <QString>
#include <exception>
#include <initializer_list>

class Exception : public std::exception {
public:
  explicit Exception(QString message);
  const QString& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FUtf8.constData(); }

private:
  QString FMessage;
  QByteArray FUtf8;
};

// The integer conversion's failure ("''%s'' is not a valid integer value").
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// Replaces each %s of Pattern, left to right, with the next of Args; a %s without an argument stays.
//   Format(u"Duplicate list ID %s"_s, {key})
QString Format(const QString& Pattern, std::initializer_list<QString> Args);
