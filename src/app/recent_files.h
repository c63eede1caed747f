#pragma once
// The list of the four most recently used files, kept by the platform's
// settings store between runs.

#include <QStringList>

namespace tessera::app {

class RecentFiles {
 public:
  /// Most entries kept.
  static constexpr int kMaxEntries = 4;

  /// Reads the saved list.
  RecentFiles();
  /// Puts a path first (removing an older entry of the same path) and saves the list.
  void add(const QString& path);
  /// Removes a path that no longer opens and saves the list.
  void remove(const QString& path);
  /// The entries, most recent first.
  const QStringList& entries() const { return entries_; }

 private:
  void store() const;
  QStringList entries_;
};

}  // namespace tessera::app
