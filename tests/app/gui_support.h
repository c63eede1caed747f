#pragma once
// Helpers of the GUI tests: answering modal boxes (and the test paths).

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
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

/// Calls act with the next modal window if it is a dialog; accept() by default.
inline void onNextDialog(std::function<void(QDialog*)> act = &QDialog::accept) {
  onNextModal([act](QWidget* w) {
    if (auto* d = qobject_cast<QDialog*>(w)) act(d);
  });
}

/// A whole file's bytes (empty when it cannot be read).
inline QByteArray readBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Writes bytes to a file.
inline bool writeBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

/// Drags a file over the widget and drops it there; whether the widget took the drag.
inline bool dropFile(QWidget* target, const QString& path) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return enter.isAccepted();
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
