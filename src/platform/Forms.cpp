#include "platform/Forms.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <string>
#include <tuple>

#include "platform/Codepage.h"
#include "platform/Exception.h"
#include "platform/FixedSize.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw Exception(AnsiString(what));
}

std::unique_ptr<TControl> CreateControl(const TControlDescription& d, QWidget* parent) {
  const AnsiString name(d.Name);
  switch (d.Class) {
    case TControlClass::Edit: {
      auto edit = std::make_unique<TEdit>(name, parent);
      edit->SetMaxLength(d.MaxLength);
      if (d.ImeMode == imDisable) edit->TakeNoComposedText();
      return edit;
    }
    case TControlClass::Button:
      return std::make_unique<TButton>(name, parent);
    case TControlClass::ListBox:
      return std::make_unique<TListBox>(name, parent, d.Sorted, d.MultiSelect, d.ItemHeight);
    case TControlClass::Label:
      break;
  }
  return std::make_unique<TLabel>(name, parent);
}

}  // namespace

struct TForm::Impl {
  Impl(const TFormDescription& d, const TPublishedTable& p) : description(d), published(p) {}

  const TFormDescription& description;
  const TPublishedTable& published;
  // Null once the toolkit has taken the window down itself, as it does with the windows left when
  // it ends.
  QPointer<QWidget> window;
  std::vector<std::unique_ptr<TControl>> controls;  // in creation order, as described
  std::vector<QWidget*> tabOrder;
  TDispatcher* dispatcher = nullptr;  // the application that made the form
};

TForm::TForm(const TFormDescription& description, const TPublishedTable& published)
    : impl_(std::make_unique<Impl>(description, published)) {}

TForm::~TForm() {
  // The window takes every widget with it; the controls only refer to them.
  delete impl_->window;
}

AnsiString TForm::Caption() const {
  return impl_->window ? FromQString(impl_->window->windowTitle())
                       : Utf8ToCp932(impl_->description.Caption);
}

QWidget* TForm::Handle() const {
  return impl_->window;
}

TControl* TForm::FindControl(const AnsiString& name) const {
  for (const auto& control : impl_->controls) {
    if (control->Name() == name) return control.get();
  }
  return nullptr;
}

void TForm::ReadDescription(TDispatcher& dispatcher, bool main) {
  impl_->dispatcher = &dispatcher;
  const TFormDescription& d = impl_->description;
  auto* window = new QWidget(nullptr);
  impl_->window = window;
  window->setObjectName(QString::fromLatin1(d.Name));
  window->setWindowTitle(QString::fromUtf8(d.Caption));
  window->setFont(MakeFont(d.Font));
  // The main form's font is the application's: message boxes and hints use it too, and no other
  // face need be loaded.
  if (main) QApplication::setFont(window->font());
  window->setAutoFillBackground(true);
  window->setBackgroundRole(QPalette::Window);  // the face colour of dialogs
  if (d.Icon != nullptr) {
    // Also at whole multiples, pixel for pixel: a HiDPI title bar or dock would otherwise smooth
    // the small picture up by itself.
    const QPixmap picture(d.Icon);
    QIcon icon(picture);
    for (const int factor : {2, 4, 8}) {
      icon.addPixmap(
          picture.scaled(picture.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    window->setWindowIcon(icon);
  }
  window->resize(d.ClientWidth, d.ClientHeight);
  window->move(d.Left, d.Top);
  if (d.BorderStyle == bsSingle) {
    window->setFixedSize(d.ClientWidth, d.ClientHeight);
    window->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    KeepFixedSize(window);
  }
  CreateControls();
  NameControlsByLabels();
  SetTabOrder();
}

void TForm::CreateControls() {
  const TFormDescription& d = impl_->description;
  for (std::size_t i = 0; i < d.ControlCount; ++i) {
    const TControlDescription& c = d.Controls[i];
    std::unique_ptr<TControl> control = CreateControl(c, impl_->window);
    QWidget* widget = control->Handle();
    widget->setObjectName(QString::fromLatin1(c.Name));
    widget->setGeometry(c.Left, c.Top, c.Width, c.Height);
    if (!c.ParentFont) widget->setFont(MakeFont(c.Font));
    control->SetText(Utf8ToCp932(c.Caption));
    const QString hint = QString::fromUtf8(c.Hint);
    if (!hint.isEmpty()) {
      // A hint is shown only where the control asks for it; it always describes the control.
      if (!c.ParentShowHint && c.ShowHint) widget->setToolTip(hint);
      widget->setAccessibleDescription(hint);
    }
    if (c.TabOrder < 0) widget->setFocusPolicy(Qt::NoFocus);
    control->dispatcher_ = impl_->dispatcher;
    BindHandler(c, *control);
    BindField(c, *control);
    impl_->controls.push_back(std::move(control));
  }
}

// Each event the description binds, to the published method of that name; an event the control
// cannot fire is an error, not a binding that never runs.
void TForm::BindHandler(const TControlDescription& c, TControl& control) {
  auto* edit = dynamic_cast<TEdit*>(&control);
  auto* button = dynamic_cast<TButton*>(&control);
  const std::tuple<const char*, const char*, TNotifyEvent*> events[] = {
      {"OnChange", c.OnChange, edit != nullptr ? &edit->OnChange : nullptr},
      {"OnClick", c.OnClick, button != nullptr ? &button->OnClick : nullptr}};
  const TPublishedTable& published = impl_->published;
  for (const auto& [event, handler, slot] : events) {
    if (handler == nullptr) continue;
    const TPublishedMethod* method = nullptr;
    for (std::size_t m = 0; m < published.MethodCount; ++m) {
      if (std::string(published.Methods[m].Name) == handler) method = &published.Methods[m];
    }
    if (method == nullptr) Fail(std::string("Method ") + handler + " not found");
    if (slot == nullptr) {
      Fail(std::string("Control ") + c.Name + " has no event " + event + " for " + handler);
    }
    *slot = TNotifyEvent{this, method->Method};
  }
}

void TForm::BindField(const TControlDescription& c, TControl& control) {
  const TPublishedTable& published = impl_->published;
  for (std::size_t f = 0; f < published.FieldCount; ++f) {
    if (std::string(published.Fields[f].Name) != c.Name) continue;
    if (!published.Fields[f].Bind(*this, control)) {
      Fail(std::string("Field ") + c.Name + " does not fit its control's class");
    }
  }
}

// A label that names a control gives it its accessible name.
void TForm::NameControlsByLabels() {
  const TFormDescription& d = impl_->description;
  for (std::size_t i = 0; i < d.ControlCount; ++i) {
    const TControlDescription& c = d.Controls[i];
    if (c.FocusControl == nullptr) continue;
    TControl* target = FindControl(AnsiString(c.FocusControl));
    if (target == nullptr) Fail(std::string("Control ") + c.FocusControl + " not found");
    target->Handle()->setAccessibleName(ToQString(FindControl(AnsiString(c.Name))->GetText()));
  }
}

// The keyboard order follows the descriptions' TabOrder, whatever the order of creation.
void TForm::SetTabOrder() {
  const TFormDescription& d = impl_->description;
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < d.ControlCount; ++i) {
    if (d.Controls[i].TabOrder >= 0) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(), [&d](std::size_t a, std::size_t b) {
    return d.Controls[a].TabOrder < d.Controls[b].TabOrder;
  });
  impl_->tabOrder.clear();
  for (const std::size_t i : order) impl_->tabOrder.push_back(impl_->controls[i]->Handle());
  for (std::size_t i = 1; i < impl_->tabOrder.size(); ++i) {
    QWidget::setTabOrder(impl_->tabOrder[i - 1], impl_->tabOrder[i]);
  }
}

void TForm::Show() {
  QWidget* window = impl_->window;
  if (impl_->description.Position == poScreenCenter && window->screen() != nullptr) {
    const QRect screen = window->screen()->availableGeometry();
    window->move(screen.center() - QPoint(window->width() / 2, window->height() / 2));
  }
  // No control is named to take the focus: it goes to the first in tab order.
  if (!impl_->tabOrder.empty()) impl_->tabOrder.front()->setFocus();
  window->show();
}
