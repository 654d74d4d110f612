#include "WindowDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <utility>

namespace driver {
namespace {

bool answering = false;
QStringList unanswered;

void CloseUnanswered() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr || answering) return;
  unanswered << box->text();
  box->reject();
}

QTimer* BoxWatch() {
  static QTimer* watch = [] {
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, CloseUnanswered);
    return timer;
  }();
  return watch;
}

}  // namespace

void ShowActive(TForm1* form) {
  form->Show();
  QWidget* window = form->Handle();
  if (!QTest::qWaitForWindowExposed(window)) qWarning("window not exposed");
  window->activateWindow();
  if (!QTest::qWaitForWindowActive(window)) qWarning("window not active");
}

TForm1* OpenWindow() {
  Application->Initialize();
  TForm1* form = nullptr;
  Application->CreateForm(form);
  ShowActive(form);
  BoxWatch()->start(20);
  return form;
}

QStringList CloseWindow(TForm1* form) {
  BoxWatch()->stop();
  Application->Release(form);
  return std::exchange(unanswered, {});
}

QListView* View(TListBox* list) {
  return static_cast<QListView*>(list->Handle());
}

QStringList Lines(TListBox* list) {
  QStringList lines;
  for (int i = 0; i < list->Items->Count(); ++i) {
    lines << QString::fromLatin1(list->Items->Get(i).c_str());
  }
  return lines;
}

void Type(TForm1* form, const QString& text) {
  QWidget* edit = form->Edit1->Handle();
  QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(edit->width() - 4, 5));
  QTest::keyClicks(edit, text);
}

void Paste(TForm1* form, const QString& text) {
  QWidget* edit = form->Edit1->Handle();
  QTest::mouseClick(edit, Qt::LeftButton);
  QApplication::clipboard()->setText(text);
  QTest::keySequence(edit, QKeySequence::SelectAll);
  QTest::keySequence(edit, QKeySequence::Paste);
}

void ClickLine(TListBox* list, int row, Qt::KeyboardModifiers modifiers) {
  QListView* view = View(list);
  const QModelIndex index = view->model()->index(row, 0);
  view->scrollTo(index);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, view->visualRect(index).center());
}

void Click(TButton* button) {
  QTest::mouseClick(button->Handle(), Qt::LeftButton);
}

QStringList AnswerBox(const std::function<void()>& action) {
  QStringList seen;
  QTimer poll;  // dies with this call, so no answer is attempted after it
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      seen << box->windowTitle() << box->text();
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    }
  });
  answering = true;
  poll.start(5);
  action();
  QTest::qWait(20);
  answering = false;
  return seen;
}

}  // namespace driver
