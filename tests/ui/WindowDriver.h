// Drives the window the way a user does, through real key presses and mouse clicks.
#pragma once

#include <QListView>
#include <QStringList>
#include <functional>

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

}  // namespace driver
