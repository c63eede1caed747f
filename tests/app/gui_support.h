#pragma once
// Helpers of the GUI tests: answering modal boxes (and the test paths).

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <ostream>

#include "support/test_paths.h"

/// Failed expectations show QStrings as text.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace tessera::test {

/// Calls act with the next modal window once it is up (polling the event loop for up to 5 s).
inline void onNextModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  auto* clock = new QElapsedTimer;
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal && clock->elapsed() < 5000) return;
    timer->stop();
    timer->deleteLater();
    delete clock;
    if (modal) act(modal);
  });
  timer->start(10);
}

/// Answers the next message box with the given button and hands back its text.
inline void answerNextBox(QMessageBox::StandardButton button, QString* text = nullptr) {
  onNextModal([button, text](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (!box) return;
    if (text) *text = box->text();
    box->button(button)->click();
  });
}

/// A file of the examples folder.
inline QString examplePath(const QString& name) {
  return QString::fromStdString((exampleDocument().parent_path() / name.toStdString()).string());
}

/// Types into a field as the user does (the field counts as edited).
inline void type(QLineEdit* field, const QString& text) {
  field->selectAll();
  QTest::keyClicks(field, text);
}

}  // namespace tessera::test
