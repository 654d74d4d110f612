#include "WindowDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <utility>

#include "engine/Wanted.h"
#include "platform/Application.h"
#include "platform/Codepage.h"
#include "platform/SysUtils.h"
#include "tables/Tables.h"

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
      boxes << box->windowTitle() + (box->parentWidget() ? "" : " (a window of its own)") << box->text();
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    }
  });
  answering->start(5);
}

QStringList Selected(TListBox* list) {
  QStringList rows;
  for (int row = 0; row < list->Items->Count(); ++row) {
    if (list->GetSelected(row)) rows << QString::number(row);
  }
  return rows;
}

// The 8-bit lines, shown as Latin-1 (they are ASCII).
QStringList Lines(const TStrings& lines) {
  QStringList shown;
  for (int i = 0; i < lines.Count(); ++i) shown << lines.Get(i).c_str();
  return shown;
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

// What the window shows: the caption under Edit1, ListAns, ListUse and ListNone.
std::array<QStringList, 4> Session::Shown() const {
  return {QStringList{static_cast<QLabel*>(form_->NeedReg->Handle())->text()},
          Lines(form_->ListAns), Lines(form_->ListUse), Lines(form_->ListNone)};
}

// A fresh search, as the engine makes it, without the values of the model's ListNone.
void Session::Search(double target) {
  engine::InitTable();
  std::vector<double> none;
  for (const QString& line : none_) none.push_back(line.toDouble());
  engine::SetNoneTable(none);
  TStringList ans(true), use(true);
  engine::CalcSub(target, ans, use);
  ans_ = Lines(ans);
  use_ = Lines(use);
}

std::string Session::Do(const QString& action) {
  const QChar kind = action.isEmpty() ? QChar() : action[0];
  const QString argument = action.mid(1), before = EditText(form_);
  std::string problem;
  if (kind == 't' && argument.size() > 1) {  // key by key: each key changes the text on its own
    for (const QChar c : argument) {
      if (problem = Do(QStringLiteral("t") + c); !problem.empty()) return problem;
    }
  } else if (kind == 't' || kind == 'p' || kind == 'b') {
    if (kind == 't') Type(form_, argument);
    if (kind == 'p') Paste(form_, argument);
    if (kind == 'b') QTest::keyClick(form_->Edit1->Handle(), Qt::Key_Backspace);
    const QString text = EditText(form_);
    // A paste of the text already there may or may not count as a change.
    const std::optional<double> wanted =
        engine::WantedValue(Utf8ToCp932(text.toStdString()).View());
    if (wanted && (text != before || kind == 'p')) {
      const auto kept = model_;
      caption_ = QStringList{text + QString::fromUtf8(" の結果")};
      none_.clear();
      Search(*wanted);
      if (text == before && !Compare().empty()) model_ = kept;
    }
  } else if (kind == 'u' || kind == 'n' || kind == 'a') {
    TListBox* list =
        kind == 'u' ? form_->ListUse : (kind == 'n' ? form_->ListNone : form_->ListAns);
    const auto modifiers = argument.endsWith('^')   ? Qt::ControlModifier
                           : argument.endsWith('+') ? Qt::ShiftModifier
                                                    : Qt::NoModifier;
    const QString row = modifiers == Qt::NoModifier ? argument : argument.chopped(1);
    if (list->Items->Count() > 0) ClickLine(list, row.toInt() % list->Items->Count(), modifiers);
  } else if (kind == '>' || kind == '<' || kind == 'k') {
    const QKeyCombination key = QKeySequence(argument)[0];
    QWidget* focus = QApplication::focusWidget();
    const auto press = [&] {
      kind == 'k' ? QTest::keyClick(focus, key.key(), key.keyboardModifiers())
                  : Click(kind == '>' ? form_->Button1 : form_->Button2);
    };
    // A button pressed from the keyboard moves as a click does.
    const bool returned = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (kind == '>' || (returned && focus == form_->Button1->Handle())) {
      problem = Move(press, form_->ListUse, form_->ListNone, use_, none_);
    } else if (kind == '<' || (returned && focus == form_->Button2->Handle())) {
      problem = Move(press, form_->ListNone, form_->ListUse, none_, use_);
    } else {
      press();
    }
  } else if (kind == 's') {
    const QStringList rows = Selected(argument.startsWith('u') ? form_->ListUse : form_->ListNone);
    if (rows.join(',') != argument.mid(1)) problem = "selected: " + rows.join(',').toStdString();
  } else if (kind == '=') {
    if (EditText(form_) != argument) problem = "Edit1 holds " + EditText(form_).toStdString();
  } else {
    problem = "no such action";
  }
  return problem.empty() ? Compare() : problem;
}

std::string Session::Move(const std::function<void()>& press, TListBox* from, TListBox* to,
                          QStringList& modelFrom, QStringList& modelTo) {
  const QStringList selected = Selected(from), selectedThere = Selected(to);
  const AnsiString text = form_->Edit1->GetText();
  QStringList expectedBox;
  for (const QString& row : selected) modelTo << Lines(from)[row.toInt()];
  for (int i = int(selected.size()) - 1; i >= 0; --i) modelFrom.removeAt(selected[i].toInt());
  modelTo.sort();
  try {
    if (!selected.isEmpty() && !text.IsEmpty()) Search(StrToFloat(text));
  } catch (const EConvertError& error) {
    expectedBox = QStringList{"OhmSift", QString::fromStdString(Cp932ToUtf8(error.Message))};
    ans_.clear();
    use_.clear();
  }
  const QStringList box = AnswerBox(press);
  // The window says it in its own language.
  if (box != expectedBox ||
      (!box.isEmpty() && !box[1].endsWith(QString::fromUtf8("は正しい数値ではありません。")))) {
    return "error box " + box.join('|').toStdString();
  }
  if (!selected.isEmpty() && !Selected(from).isEmpty()) return "lines still selected";
  const bool refilled = !selected.isEmpty() && to == form_->ListUse && !text.IsEmpty();
  if (Selected(to) != (refilled ? QStringList() : selectedThere)) return "selection changed there";
  return {};
}

std::string Session::Compare() const {
  const auto shown = Shown();
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] != model_[i])
      return shown[i].join('|').toStdString() + " shown, " + model_[i].join('|').toStdString() +
             " due";
  }
  return {};
}

}  // namespace driver
