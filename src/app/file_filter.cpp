#include "app/file_filter.h"

#include <QRegularExpression>
#include <QString>

namespace tessera::app {

namespace {

/// "*.tsr;*.TSR" -> "*.tsr *.TSR"; "*.*" matches every file, also those without a dot.
QString qtPatterns(const QString& patterns) {
  QStringList out;
  for (QString p : patterns.split(';', Qt::SkipEmptyParts)) {
    p = p.trimmed();
    out << (p == "*.*" ? QStringLiteral("*") : p);
  }
  return out.join(' ');
}

}  // namespace

QStringList qtNameFilters(std::string_view filter) {
  const QStringList parts = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    // Qt reads the patterns from the last parentheses of the name: put the real ones there.
    QString name = parts[i];
    name.remove(QRegularExpression("\\s*\\([^()]*\\)\\s*$"));
    filters << QString("%1 (%2)").arg(name.trimmed(), qtPatterns(parts[i + 1]));
  }
  return filters;
}

QString qtFilter(std::string_view filter) { return qtNameFilters(filter).join(";;"); }

}  // namespace tessera::app
