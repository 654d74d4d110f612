// Forms. A form is built from a description, plain data that names
// every control with its class, place, texts and properties and the handlers of its events by the
// names of the form's published methods; the form class publishes its fields and methods in a
// table, by which the description's names are bound.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/Controls.h"
#include "platform/StdCtrls.h"

enum class TControlClass { Label, Edit, Button, ListBox };
enum TBorderStyle { bsSizeable, bsSingle };
enum TPosition { poDesigned, poScreenCenter };
// imDisable: the control takes no text an input method composes (digits, say); it tells input
// methods so, and they switch to direct input there.
enum TImeMode { imDontCare, imDisable };

// One control of a form description. Texts are in UTF-8; a null name binds nothing.
struct TControlDescription {
  TControlClass Class = TControlClass::Label;
  const char* Name = "";
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  const char* Caption = "";  // a label's or button's caption, an edit box's text
  const char* Hint = "";
  bool ShowHint = false;
  bool ParentShowHint = true;
  bool ParentFont = true;
  TFontDescription Font = {};          // used when ParentFont is false
  int TabOrder = -1;                   // -1: the control takes no focus
  int MaxLength = 0;                   // edit boxes; 0: no limit
  TImeMode ImeMode = imDontCare;       // edit boxes
  bool Sorted = false;                 // list boxes
  bool MultiSelect = false;            // list boxes
  int ItemHeight = 13;                 // list boxes
  const char* FocusControl = nullptr;  // labels: the control this label names
  const char* OnChange = nullptr;      // edit boxes
  const char* OnClick = nullptr;       // buttons
};

struct TFormDescription {
  const char* Name = "";
  const char* Caption = "";
  TBorderStyle BorderStyle = bsSizeable;
  TPosition Position = poDesigned;
  int Left = 0;
  int Top = 0;
  int ClientWidth = 0;
  int ClientHeight = 0;
  TColor Color = clBtnFace;
  TFontDescription Font = {};
  const char* const* Icon = nullptr;  // an XPM image
  int PixelsPerInch = 96;
  int TextHeight = 12;
  const TControlDescription* Controls = nullptr;
  std::size_t ControlCount = 0;
};

// A form class's published members, by which its description's names are bound.
struct TPublishedMethod {
  const char* Name;
  TNotifyMethod Method;
};
struct TPublishedField {
  const char* Name;
  // Stores the control in the field if the control's class fits it.
  bool (*Bind)(TObject& form, TControl& control);
};
struct TPublishedTable {
  const TPublishedMethod* Methods;
  std::size_t MethodCount;
  const TPublishedField* Fields;
  std::size_t FieldCount;
};

template <class Form, class Control, Control* Form::*Field>
bool BindPublishedField(TObject& form, TControl& control) {
  auto* typed = dynamic_cast<Control*>(&control);
  if (typed == nullptr) return false;
  static_cast<Form&>(form).*Field = typed;
  return true;
}

template <class Form>
TNotifyMethod PublishedMethod(void (Form::*method)(TObject*)) {
  return static_cast<TNotifyMethod>(method);
}

class TApplication;

class TForm : public TObject {
 public:
  ~TForm() override;

  AnsiString Caption() const;
  QWidget* Handle() const;
  void Show();
  // The control of that name, or null.
  TControl* FindControl(const AnsiString& name) const;

 protected:
  TForm(const TFormDescription& description, const TPublishedTable& published);

 private:
  friend class TApplication;
  // Creates the window and its controls, sets their properties and binds handlers and fields by
  // name, the controls' events to run through dispatcher; the main form's font becomes the
  // toolkit's. Raises Exception when the description names a field or method that the form does
  // not publish, or a field of another class.
  void ReadDescription(TDispatcher& dispatcher, bool main);
  void CreateControls();
  void BindHandler(const TControlDescription& description, TControl& control);
  void BindField(const TControlDescription& description, TControl& control);
  void NameControlsByLabels();
  void SetTabOrder();

  struct Impl;
  std::unique_ptr<Impl> impl_;
};
