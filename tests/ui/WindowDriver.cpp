#include "WindowDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <utility>

#include "platform/Application.h"

namespace driver {
namespace {

// Every message box is answered with OK as soon as it shows, and noted: AnswerBox takes what its
// action opened, and whatever opened elsewhere is left for CloseWindow to report.
QStringList boxes;

void AnswerEveryBox() {
  static QTimer* answering = nullptr;
  if (answering != nullptr) return;
  answering = new QTimer(QCoreApplication::instance());
  QObject::connect(answering, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      // A box belongs to the main window, or it is a stray window of its own.
      boxes << box->windowTitle() + (box->parentWidget() ? "" : " (alone)") << box->text();
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    }
  });
  answering->start(5);
}

}  // namespace

TForm1* OpenWindow() {
  TForm1* form = nullptr;
  Application->CreateForm(form);
  form->Show();
  if (!QTest::qWaitForWindowExposed(form->Handle())) qWarning("window not exposed");
  form->Handle()->activateWindow();
  if (!QTest::qWaitForWindowActive(form->Handle())) qWarning("window not active");
  AnswerEveryBox();
  boxes.clear();
  return form;
}

QStringList CloseWindow(TForm1* form) {
  Application->Release(form);
  return std::exchange(boxes, {});
}

QListView* View(TListBox* list) {
  return static_cast<QListView*>(list->Handle());
}

QStringList Lines(TListBox* list) {
  QStringList shown;
  for (int row = 0; row < View(list)->model()->rowCount(); ++row)
    shown << View(list)->model()->index(row, 0).data().toString();
  return shown;
}

QString EditText(TForm1* form) {
  return static_cast<QLineEdit*>(form->Edit1->Handle())->text();
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
  AnswerEveryBox();
  const QStringList before = std::exchange(boxes, {});
  action();
  QTest::qWait(20);
  return std::exchange(boxes, before);
}

}  // namespace driver
