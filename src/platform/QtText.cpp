#include "platform/QtText.h"

#include <QByteArray>

#include "platform/Codepage.h"

QString ToQString(const AnsiString& text) {
  const std::string utf8 = Cp932ToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

AnsiString FromQString(const QString& text) {
  // Lone surrogates come out of toUtf8 as U+FFFD, which code page 932 does not hold: '?'.
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}
