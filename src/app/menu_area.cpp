#include "app/menu_area.h"

#include <QHash>
#include <functional>

namespace tessera::app {

QStringList MenuArea::withMnemonics(const QStringList& texts) {
  // Matching texts to letters with augmenting paths: a text whose letters are all
  // taken may move an earlier text to that text's next free letter.
  QHash<QChar, int> owner;
  QList<qsizetype> position(texts.size(), -1);
  std::function<bool(int, QSet<QChar>&)> place = [&](int t, QSet<QChar>& visited) {
    const QString& text = texts[t];
    for (qsizetype i = 0; i < text.size(); ++i) {
      const QChar c = text[i].toLower();
      if (!c.isLetterOrNumber() || visited.contains(c)) continue;
      visited.insert(c);
      if (!owner.contains(c) || place(owner[c], visited)) {
        owner[c] = t;
        position[t] = i;
        return true;
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
