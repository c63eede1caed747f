#include "app/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace tessera::app {

namespace {
const char* kKey = "recentFiles";
}

RecentFiles::RecentFiles() {
  entries_ = QSettings().value(kKey).toStringList();
  while (entries_.size() > kMaxEntries) entries_.removeLast();
}

void RecentFiles::add(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  entries_.removeAll(full);
  entries_.prepend(full);
  while (entries_.size() > kMaxEntries) entries_.removeLast();
  store();
}

void RecentFiles::remove(const QString& path) {
  entries_.removeAll(QFileInfo(path).absoluteFilePath());
  store();
}

void RecentFiles::store() const { QSettings().setValue(kKey, entries_); }

}  // namespace tessera::app
