// The control base of the class library: objects, notify events and the visual control with its
// text. Controls are built by a form from its description (platform/Forms.h); the toolkit widget
// behind each one is reachable through Handle() but is none of the calling code's business.
#pragma once

#include <utility>

#include "platform/AnsiString.h"

class QWidget;

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

// A method bound to its object, as an event property holds it.
using TNotifyMethod = void (TObject::*)(TObject* Sender);
struct TNotifyEvent {
  TObject* Object = nullptr;
  TNotifyMethod Method = nullptr;

  explicit operator bool() const { return Object != nullptr && Method != nullptr; }
};

// Where events go to be run: the application that made the control's form, which shows whatever a
// handler raises.
class TDispatcher {
 public:
  virtual void Dispatch(const TNotifyEvent& event, TObject* sender) noexcept = 0;

 protected:
  ~TDispatcher() = default;
};

enum TColor { clWindowText, clBtnFace };
enum TFontCharset { DEFAULT_CHARSET = 1, SHIFTJIS_CHARSET = 128 };

// A font as a description gives it. Height below zero is the character height in pixels, above
// zero the cell height; Name is in UTF-8. No style is used by the system, so none is held.
struct TFontDescription {
  const char* Name = "";
  int Height = -12;
  TFontCharset Charset = DEFAULT_CHARSET;
  TColor Color = clWindowText;
};

class TControl : public TObject {
 public:
  ~TControl() override = default;

  virtual AnsiString GetText() const = 0;
  virtual void SetText(const AnsiString& text) = 0;

  const AnsiString& Name() const { return name_; }
  QWidget* Handle() const { return widget_; }

 protected:
  TControl(AnsiString name, QWidget* widget) : name_(std::move(name)), widget_(widget) {}
  // Runs an event handler through the dispatcher its form gave it: whatever the handler raises is
  // shown there and goes no further, so no error ever unwinds through the toolkit's event loop.
  void Fire(const TNotifyEvent& event);

 private:
  friend class TForm;
  AnsiString name_;
  QWidget* widget_;                    // owned by the form's window
  TDispatcher* dispatcher_ = nullptr;  // set by the form
};
