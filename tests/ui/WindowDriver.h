// Drives the window the way a user does, through real key presses and mouse clicks, and holds it
// to a model of what it must show after every action.
#pragma once

#include <QListView>
#include <QStringList>
#include <array>
#include <functional>
#include <string>

#include "ui/Unit1.h"

namespace driver {

// Builds a TForm1 through the application object (its toolkit made by the caller) and shows it,
// exposed and active. From then on every message box is answered with OK at once, as it would
// otherwise wait for a click for ever; closing gives the title and text of each box that no
// AnswerBox expected.
TForm1* OpenWindow();
QStringList CloseWindow(TForm1* form);

QListView* View(TListBox* list);
QStringList Lines(TListBox* list);  // the lines its view shows
QString EditText(TForm1* form);

// Clicks into Edit1 and types text key by key.
void Type(TForm1* form, const QString& text);
// Selects Edit1's whole text and pastes text over it: one change of the text.
void Paste(TForm1* form, const QString& text);
// Clicks line row of a list, with modifiers (Ctrl, Shift) as given.
void ClickLine(TListBox* list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Click(TButton* button);

// Runs action: the title and text of the message box it opened, or nothing.
QStringList AnswerBox(const std::function<void()>& action);

// A user's session with the window, each action checked against what the window must show then,
// worked out from its documented behaviour: the caption names the last accepted value; a change of
// the text to an acceptable value starts afresh without values not owned; a move carries the
// selected lines across and searches again for the text in Edit1 without the values not owned
// (not at all with Edit1 empty; with an error box, the only one allowed, when Edit1 holds no
// number); the list a move takes from keeps no selection.
class Session {
 public:
  explicit Session(TForm1* form) : form_(form), model_(Shown()) {}
  // One action: "t" text (typed), "p" text (pasted), "b" (backspace in Edit1), "u" row, "n" row,
  // "a" row (a click on that line of ListUse, ListNone, ListAns; a final "^" holds Ctrl, "+"
  // Shift), ">" and "<" (the buttons), "k" key (a key to the control with the focus: Tab,
  // Return, Enter, Space, Down, Ctrl+Space, as QKeySequence spells them), "=" text (Edit1 must
  // hold it), "s" u or n and rows (the lines selected there, as "su0,3"). Returns what differs
  // from the model afterwards, or nothing.
  std::string Do(const QString& action);

 private:
  void Search(double target);
  std::string Move(const std::function<void()>& press, TListBox* from, TListBox* to,
                   QStringList& modelFrom, QStringList& modelTo);
  std::string Compare() const;
  std::array<QStringList, 4> Shown() const;

  TForm1* form_;
  std::array<QStringList, 4> model_;  // what the window must show, as Shown() has it
  QStringList &caption_ = model_[0], &ans_ = model_[1], &use_ = model_[2], &none_ = model_[3];
};

}  // namespace driver
