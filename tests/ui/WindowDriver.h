// Drives the window the way a user does: real key presses and mouse clicks through Qt Test.
#pragma once

#include <QListView>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "ui/Unit1.h"

namespace driver {

// Builds a TForm1 through the application object and shows it, exposed and active. Until it is
// closed, an error box nobody answers (see AnswerBox) is closed at once, as it would otherwise wait
// for a click for ever; closing gives the texts of those boxes.
TForm1* OpenWindow();
// Shows a form built elsewhere and waits until it is exposed and active.
void ShowActive(TForm1* form);
QStringList CloseWindow(TForm1* form);

QListView* View(TListBox* list);
QStringList Lines(TListBox* list);  // the 8-bit lines, shown as Latin-1 (they are ASCII)

// Clicks into Edit1 and types text key by key.
void Type(TForm1* form, const QString& text);
// Selects Edit1's whole text and pastes text over it: one change of the text.
void Paste(TForm1* form, const QString& text);
// Clicks line row of a list, with modifiers (Ctrl, Shift) as given.
void ClickLine(TListBox* list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Click(TButton* button);

// Runs action and answers the message box it opens with OK: the box's title and text, or nothing
// when none opened.
QStringList AnswerBox(const std::function<void()>& action);

}  // namespace driver
