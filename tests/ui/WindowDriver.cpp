#include "WindowDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <map>
#include <utility>

#include "engine/Engine.h"
#include "platform/Application.h"
#include "platform/Codepage.h"
#include "platform/SysUtils.h"

namespace driver {
namespace {

// Every message box is answered with OK as soon as it shows, and noted: AnswerBox takes what its
// action opened, and whatever opened elsewhere is left for CloseWindow to report.
QStringList boxes;
QTimer* answering = nullptr;

QStringList Selected(TListBox* list) {
  QStringList lines;
  for (int row = 0; row < list->Items->Count(); ++row) {
    if (list->GetSelected(row)) lines << Lines(list)[row];
  }
  return lines;
}

}  // namespace

void ShowActive(TForm1* form) {
  form->Show();
  if (!QTest::qWaitForWindowExposed(form->Handle())) qWarning("window not exposed");
  form->Handle()->activateWindow();
  if (!QTest::qWaitForWindowActive(form->Handle())) qWarning("window not active");
}

static void AnswerEveryBox() {
  if (answering != nullptr) return;
  answering = new QTimer(QCoreApplication::instance());
  QObject::connect(answering, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      boxes << box->windowTitle() << box->text();
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    }
  });
  answering->start(5);
}

TForm1* OpenWindow() {
  Application->Initialize();
  TForm1* form = nullptr;
  Application->CreateForm(form);
  ShowActive(form);
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
  QStringList lines;
  for (int i = 0; i < list->Items->Count(); ++i) lines << list->Items->Get(i).c_str();
  return lines;
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

Session::Session(TForm1* form)
    : form_(form),
      caption_(static_cast<QLabel*>(form->NeedReg->Handle())->text()),
      ans_(Lines(form->ListAns)),
      use_(Lines(form->ListUse)),
      none_(Lines(form->ListNone)) {}

// A fresh search, as the engine makes it, without the values of the model's ListNone.
void Session::Search(double target) {
  engine::InitTable();
  for (const QString& line : none_) engine::NoneTable[engine::NoneCount++] = line.toDouble();
  TStringList ans(true), use(true);
  engine::CalcSub(target, ans, use);
  ans_.clear();
  use_.clear();
  for (int i = 0; i < ans.Count(); ++i) ans_ << ans.Get(i).c_str();
  for (int i = 0; i < use.Count(); ++i) use_ << use.Get(i).c_str();
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
    const QByteArray utf8 = text.toUtf8();
    double wanted = 0;
    // A paste of the text already there may or may not count as a change.
    if (engine::AcceptWantedText(Utf8ToCp932(utf8.toStdString()), wanted) &&
        (text != before || kind == 'p')) {
      auto old = std::tie(caption_, ans_, use_, none_);
      const std::tuple<QString, QStringList, QStringList, QStringList> kept = old;
      caption_ = text + QString::fromUtf8(" の結果");
      none_.clear();
      Search(wanted);
      if (text == before && !Compare().empty()) old = kept;
    }
  } else if (kind == 'u' || kind == 'n' || kind == 'a') {
    TListBox* list =
        kind == 'u' ? form_->ListUse : (kind == 'n' ? form_->ListNone : form_->ListAns);
    const Qt::KeyboardModifiers modifiers = argument.endsWith('^')   ? Qt::ControlModifier
                                            : argument.endsWith('+') ? Qt::ShiftModifier
                                                                     : Qt::NoModifier;
    if (list->Items->Count() > 0)
      ClickLine(list, argument.toInt() % list->Items->Count(), modifiers);
  } else if (kind == '>' || kind == '<' || kind == 'k') {
    static const std::map<QString, Qt::Key> keys = {
        {"Tab", Qt::Key_Tab},     {"Backtab", Qt::Key_Backtab}, {"Return", Qt::Key_Return},
        {"Enter", Qt::Key_Enter}, {"Space", Qt::Key_Space},     {"Up", Qt::Key_Up},
        {"Down", Qt::Key_Down}};
    const bool ctrl = argument.startsWith('^');
    const Qt::Key key =
        keys.count(argument.mid(ctrl)) ? keys.at(argument.mid(ctrl)) : Qt::Key_unknown;
    QWidget* focus = QApplication::focusWidget();
    const auto press = [&] {
      if (kind != 'k') Click(kind == '>' ? form_->Button1 : form_->Button2);
      if (kind == 'k') QTest::keyClick(focus, key, ctrl ? Qt::ControlModifier : Qt::NoModifier);
    };
    // A button pressed from the keyboard moves as a click does.
    const bool pressed =
        kind != 'k' || ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
                        (focus == form_->Button1->Handle() || focus == form_->Button2->Handle()));
    const bool forward = kind == '>' || (kind == 'k' && focus == form_->Button1->Handle());
    if (!pressed) {
      press();
    } else if (forward) {
      problem = Move(press, form_->ListUse, form_->ListNone, use_, none_);
    } else {
      problem = Move(press, form_->ListNone, form_->ListUse, none_, use_);
    }
  } else if (kind == 's') {
    QStringList rows;
    TListBox* list = argument.startsWith('u') ? form_->ListUse : form_->ListNone;
    for (int row = 0; row < list->Items->Count(); ++row) {
      if (list->GetSelected(row)) rows << QString::number(row);
    }
    if (rows.join(',') != argument.mid(1))
      problem = "selected there: " + rows.join(',').toStdString();
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
  if (!selected.isEmpty()) {
    for (const QString& line : selected) modelFrom.removeOne(line);
    modelTo += selected;
    modelTo.sort();
    try {
      if (!text.IsEmpty()) Search(StrToFloat(text));
    } catch (const EConvertError& error) {
      expectedBox = QStringList{"OhmSift", QString::fromStdString(Cp932ToUtf8(error.Message))};
      ans_.clear();
      use_.clear();
    }
  }
  const QStringList box = AnswerBox(press);
  if (box != expectedBox) return "error box " + box.join('|').toStdString();
  // The window says it in its own language.
  if (!box.isEmpty() && !box[1].endsWith(QString::fromUtf8("は正しい数値ではありません。"))) {
    return "an error box not in Japanese";
  }
  const bool refilled = !selected.isEmpty() && to == form_->ListUse && !text.IsEmpty();
  if (!selected.isEmpty() && !Selected(from).isEmpty()) return "lines still selected";
  if (Selected(to) != (refilled ? QStringList() : selectedThere)) return "selection changed there";
  return {};
}

std::string Session::Compare() const {
  const QString caption = static_cast<QLabel*>(form_->NeedReg->Handle())->text();
  const std::pair<QStringList, QStringList> shownAndModel[] = {{{caption}, {caption_}},
                                                               {Lines(form_->ListAns), ans_},
                                                               {Lines(form_->ListUse), use_},
                                                               {Lines(form_->ListNone), none_}};
  for (const auto& [shown, model] : shownAndModel) {
    if (shown != model) {
      return shown.join('|').toStdString() + " shown, " + model.join('|').toStdString() + " due";
    }
  }
  for (TListBox* list : {form_->ListAns, form_->ListUse, form_->ListNone}) {
    const QAbstractItemModel* view = View(list)->model();
    for (int row = 0; row < view->rowCount(); ++row) {
      if (view->index(row, 0).data().toString() != Lines(list).value(row)) {
        return "a list shows other lines than it holds";
      }
    }
  }
  return {};
}

}  // namespace driver
