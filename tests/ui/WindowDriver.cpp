#include "WindowDriver.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QtTest>

namespace driver {

TForm1* OpenWindow() {
  Application->Initialize();
  TForm1* form = nullptr;
  Application->CreateForm(form);
  form->Show();
  QWidget* window = form->Handle();
  if (!QTest::qWaitForWindowExposed(window)) qWarning("window not exposed");
  window->activateWindow();
  if (!QTest::qWaitForWindowActive(window)) qWarning("window not active");
  return form;
}

void CloseWindow(TForm1* form) {
  Application->Release(form);
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

}  // namespace driver
