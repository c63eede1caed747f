#include "app/menu_area.h"

#include <QHash>
#include <functional>

namespace tessera::app {

QStringList MenuArea::withMnemonics(const QStringList& texts) {
  // Each text takes its earliest free letter; one whose letters are all taken moves an
  // earlier text to another of its letters (an augmenting path), so no text goes without.
  QHash<QChar, int> owner;
  QList<qsizetype> position(texts.size(), -1);
  auto key = [&texts](int t, qsizetype i) { return texts[t][i].toLower(); };
  std::function<bool(int, QSet<QChar>&)> place = [&](int t, QSet<QChar>& visited) {
    const qsizetype n = texts[t].size();
    for (int pass = 0; pass < 2; ++pass) {
      for (qsizetype i = 0; i < n; ++i) {
        const QChar c = key(t, i);
        if (!c.isLetterOrNumber() || visited.contains(c)) continue;
        if (pass == 0 && owner.contains(c)) continue;
        visited.insert(c);
        if (pass == 0 || place(owner[c], visited)) {
          owner[c] = t;
          position[t] = i;
          return true;
        }
      }
    }
    return false;
  };
  for (int t = 0; t < texts.size(); ++t) {
    QSet<QChar> visited;
    place(t, visited);
  }
  QStringList result;
  for (int t = 0; t < texts.size(); ++t) {
    QString text = texts[t];
    text.replace('&', "&&");
    if (position[t] >= 0) text.insert(position[t] + texts[t].left(position[t]).count('&'), '&');
    result << text;
  }
  return result;
}

}  // namespace tessera::app
