#include "core/LocaleDates.h"

#include <QDateTime>
#include <QLocale>

#include <cmath>

namespace {

QLocale LocaleNamed(std::string_view name) {
  // "language_TERRITORY" is what QLocale reads; the character set and modifier say nothing about formats.
  const std::string_view bare = name.substr(0, name.find_first_of(".@"));
  return QLocale(QString::fromUtf8(bare.data(), static_cast<qsizetype>(bare.size())));
}

// The locale's long time pattern without its time-zone field and what only frames it.
QString LongTimePattern(const QLocale& locale) {
  const QString pattern = locale.timeFormat(QLocale::LongFormat);
  QString out;
  bool quoted = false;
  for (const QChar c : pattern) {
    if (c == u'\'') quoted = !quoted;
    if (!quoted && c == u't') continue;
    out += c;
  }
  out.remove(QStringLiteral("()"));
  return out.simplified();
}

}  // namespace

std::string FormatLocaleDateTime(std::string_view locale, TLocaleDateFormat format, double dateTime) {
  const QLocale qlocale = LocaleNamed(locale);
  const double days = std::floor(dateTime);
  const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(days));
  const auto millis = static_cast<int>(std::lround((dateTime - days) * 86400000.0)) % 86400000;
  const QTime time = QTime::fromMSecsSinceStartOfDay(millis);
  switch (format) {
    case TLocaleDateFormat::ShortDate: return qlocale.toString(date, QLocale::ShortFormat).toStdString();
    case TLocaleDateFormat::LongDate: return qlocale.toString(date, QLocale::LongFormat).toStdString();
    case TLocaleDateFormat::LongTime: return qlocale.toString(time, LongTimePattern(qlocale)).toStdString();
  }
  return {};
}
