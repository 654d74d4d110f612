// The standard controls: label, edit box, button and list box.
#pragma once

#include <memory>

#include "platform/Classes.h"
#include "platform/Controls.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

class TLabel : public TControl {
 public:
  TLabel(AnsiString name, QWidget* parent);
  AnsiString GetText() const override;
  // Sets the caption; the label then sizes itself to it, growing to the right.
  void SetText(const AnsiString& text) override;

 private:
  QLabel* label_;
};

class TEdit : public TControl {
 public:
  TEdit(AnsiString name, QWidget* parent);
  AnsiString GetText() const override;
  void SetText(const AnsiString& text) override;
  void SetMaxLength(int characters);  // 0: no limit
  // Tells input methods that the box takes digits, not composed text; what it accepts is the same.
  void TakeNoComposedText();

  TNotifyEvent OnChange;  // after every change of the text, typed, pasted or set

 private:
  QLineEdit* edit_;
};

class TButton : public TControl {
 public:
  TButton(AnsiString name, QWidget* parent);
  AnsiString GetText() const override;
  void SetText(const AnsiString& text) override;

  TNotifyEvent OnClick;

 private:
  QPushButton* button_;
};

class TListBox : public TControl {
 public:
  class Lines;

 private:
  std::unique_ptr<Lines> lines_;

 public:
  TListBox(AnsiString name, QWidget* parent, bool sorted, bool multiSelect, int itemHeight);
  ~TListBox() override;

  // A list box has no text of its own.
  AnsiString GetText() const override { return {}; }
  void SetText(const AnsiString&) override {}

  // Removes every line.
  void Clear();
  // Whether line index is selected; raises EListError when there is no such line.
  bool GetSelected(int index) const;

  // Lines start this many pixels from the box's left edge, frame included, as a label's text
  // starts at its left edge: a heading label 8 pixels to the right of a box stands over its lines.
  static constexpr int TextIndent = 8;

  // The line list. In a sorted box Add puts a line in its place by CompareListLines.
  TStrings* const Items;

  const bool Sorted;
  const bool MultiSelect;
};
