#include "platform/Forms.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Codepage.h"
#include "platform/FontSetup.h"
#include "platform/QtText.h"

namespace {

TApplication theApplication;

// The one place where an error leaves a handler: the application object shows it.
void ShowSafely(const std::exception& error) noexcept {
  try {
    Application->ShowException(error);
  } catch (...) {
    std::fputs("OhmSift: an error could not be shown\n", stderr);
  }
}

// Errors raised anywhere below the toolkit's event delivery stop here rather than unwind through
// the event loop.
class GuardedApplication : public QApplication {
 public:
  GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
      ShowSafely(error);
    } catch (...) {
      ShowSafely(Exception("An unknown error occurred."));
    }
    return false;
  }
};

bool HasDisplay() {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// While the toolkit starts, its messages are held back: if it cannot reach a display it ends the
// program with a fatal message, and the user should read one plain sentence instead.
struct HeldMessage {
  QtMsgType type;
  QString text;
};
std::vector<HeldMessage>* heldMessages = nullptr;
const char* headlessAdvice = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", headlessAdvice);
    std::fflush(stderr);
    std::_Exit(1);
  }
  heldMessages->push_back({type, text});
}

int toolkitArgc = 1;
char toolkitName[] = "ohmsift";
char* toolkitArgv[] = {toolkitName, nullptr};
QApplication* ownToolkit = nullptr;

void ReleaseForms() {
  Application->Release(nullptr);
}

void DestroyOwnToolkit() {
  delete ownToolkit;
  ownToolkit = nullptr;
}

QWidget* CreateWidget(const TControlDescription& d, QWidget* parent,
                      std::unique_ptr<TControl>& control) {
  const AnsiString name(d.Name);
  switch (d.Class) {
    case TControlClass::Label:
      control = std::make_unique<TLabel>(name, parent);
      break;
    case TControlClass::Edit: {
      auto edit = std::make_unique<TEdit>(name, parent);
      edit->SetMaxLength(d.MaxLength);
      control = std::move(edit);
      break;
    }
    case TControlClass::Button:
      control = std::make_unique<TButton>(name, parent);
      break;
    case TControlClass::ListBox:
      control = std::make_unique<TListBox>(name, parent, d.Sorted, d.MultiSelect, d.ItemHeight);
      break;
  }
  return control->Handle();
}

}  // namespace

TApplication* Application = &theApplication;

// ---- TControl -----------------------------------------------------------------------------------

void TControl::Fire(const TNotifyEvent& event) {
  if (event) Application->Dispatch(event, this);
}

// ---- TForm --------------------------------------------------------------------------------------

struct TForm::Impl {
  Impl(const TFormDescription& d, const TPublishedTable& p) : description(d), published(p) {}

  const TFormDescription& description;
  const TPublishedTable& published;
  QWidget* window = nullptr;
  std::vector<std::unique_ptr<TControl>> controls;  // in creation order
  std::vector<TControl*> tabOrder;
};

TForm::TForm(const TFormDescription& description, const TPublishedTable& published)
    : impl_(std::make_unique<Impl>(description, published)) {}

TForm::~TForm() {
  // The window takes every widget with it; the controls only refer to them.
  delete impl_->window;
}

AnsiString TForm::Caption() const {
  return impl_->window ? FromQString(impl_->window->windowTitle())
                       : AnsiString(impl_->description.Caption);
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

void TForm::ReadDescription() {
  const TFormDescription& d = impl_->description;
  const TPublishedTable& published = impl_->published;
  auto fail = [](const std::string& what) { throw Exception(AnsiString(what)); };

  auto* window = new QWidget(nullptr);
  impl_->window = window;
  window->setObjectName(QString::fromLatin1(d.Name));
  window->setWindowTitle(ToQString(AnsiString(d.Caption)));
  window->setFont(MakeFont(d.Font));
  // The main form's font is the application's: message boxes and hints use it too, and no other
  // face need be loaded.
  if (Application->MainForm() == nullptr) QApplication::setFont(window->font());
  window->setAutoFillBackground(true);
  window->setBackgroundRole(QPalette::Window);  // the face colour of dialogs
  if (d.Icon != nullptr) window->setWindowIcon(QIcon(QPixmap(d.Icon)));
  window->resize(d.ClientWidth, d.ClientHeight);
  window->move(d.Left, d.Top);
  if (d.BorderStyle == bsSingle) {
    window->setFixedSize(d.ClientWidth, d.ClientHeight);
    window->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
  }

  for (std::size_t i = 0; i < d.ControlCount; ++i) {
    const TControlDescription& c = d.Controls[i];
    std::unique_ptr<TControl> control;
    QWidget* widget = CreateWidget(c, window, control);
    widget->setObjectName(QString::fromLatin1(c.Name));
    widget->setGeometry(c.Left, c.Top, c.Width, c.Height);
    if (!c.ParentFont) widget->setFont(MakeFont(c.Font));
    control->SetText(AnsiString(c.Caption));
    const QString hint = ToQString(AnsiString(c.Hint));
    if (!hint.isEmpty()) {
      // A hint is shown only where the control asks for it; it always describes the control.
      if (!c.ParentShowHint && c.ShowHint) widget->setToolTip(hint);
      widget->setAccessibleDescription(hint);
    }
    if (c.TabOrder < 0) {
      widget->setFocusPolicy(Qt::NoFocus);
    } else {
      impl_->tabOrder.push_back(control.get());
    }

    const char* handler = c.OnChange != nullptr ? c.OnChange : c.OnClick;
    if (handler != nullptr) {
      const TPublishedMethod* method = nullptr;
      for (std::size_t m = 0; m < published.MethodCount; ++m) {
        if (std::string(published.Methods[m].Name) == handler) method = &published.Methods[m];
      }
      if (method == nullptr) fail(std::string("Method ") + handler + " not found");
      const TNotifyEvent event{this, method->Method};
      auto* edit = dynamic_cast<TEdit*>(control.get());
      auto* button = dynamic_cast<TButton*>(control.get());
      if (c.OnChange != nullptr && edit != nullptr) {
        edit->OnChange = event;
      } else if (c.OnClick != nullptr && button != nullptr) {
        button->OnClick = event;
      } else {
        fail(std::string("Control ") + c.Name + " has no such event for " + handler);
      }
    }

    for (std::size_t f = 0; f < published.FieldCount; ++f) {
      if (std::string(published.Fields[f].Name) != c.Name) continue;
      if (!published.Fields[f].Bind(*this, *control)) {
        fail(std::string("Field ") + c.Name + " does not fit its control's class");
      }
    }
    impl_->controls.push_back(std::move(control));
  }

  for (std::size_t i = 0; i < d.ControlCount; ++i) {
    const TControlDescription& c = d.Controls[i];
    if (c.FocusControl == nullptr) continue;
    TControl* label = FindControl(AnsiString(c.Name));
    TControl* target = FindControl(AnsiString(c.FocusControl));
    if (target == nullptr) fail(std::string("Control ") + c.FocusControl + " not found");
    target->Handle()->setAccessibleName(ToQString(label->GetText()));
  }

  std::stable_sort(impl_->tabOrder.begin(), impl_->tabOrder.end(),
                   [&](const TControl* a, const TControl* b) {
                     auto order = [&](const TControl* x) {
                       for (std::size_t i = 0; i < d.ControlCount; ++i) {
                         if (x->Name() == d.Controls[i].Name) return d.Controls[i].TabOrder;
                       }
                       return 0;
                     };
                     return order(a) < order(b);
                   });
  for (std::size_t i = 1; i < impl_->tabOrder.size(); ++i) {
    QWidget::setTabOrder(impl_->tabOrder[i - 1]->Handle(), impl_->tabOrder[i]->Handle());
  }
}

void TForm::Show() {
  QWidget* window = impl_->window;
  if (impl_->description.Position == poScreenCenter && window->screen() != nullptr) {
    const QRect screen = window->screen()->availableGeometry();
    window->move(screen.center() - QPoint(window->width() / 2, window->height() / 2));
  }
  // No control is named to take the focus: it goes to the first in tab order.
  if (!impl_->tabOrder.empty()) impl_->tabOrder.front()->Handle()->setFocus();
  window->show();
}

// ---- TApplication -------------------------------------------------------------------------------

TApplication::TApplication() = default;

TApplication::~TApplication() {
  // Forms still held here outlived the toolkit (which releases them as it goes down); their
  // windows can no longer be destroyed safely, and the process is ending.
  for (auto& form : forms_) static_cast<void>(form.release());
}

void TApplication::Initialize() {
  if (initialized_) return;
  initialized_ = true;
  if (QCoreApplication::instance() == nullptr) {
    if (!HasDisplay()) {
      std::fprintf(stderr, "%s\n", HeadlessAdvice);
      std::exit(1);
    }
    NarrowFontsToFormFaces();
    std::vector<HeldMessage> held;
    heldMessages = &held;
    headlessAdvice = HeadlessAdvice;
    const QtMessageHandler previous = qInstallMessageHandler(HoldMessage);
    ownToolkit = new GuardedApplication(toolkitArgc, toolkitArgv);
    qInstallMessageHandler(previous);
    heldMessages = nullptr;
    for (const HeldMessage& message : held) {
      qt_message_output(message.type, QMessageLogContext(), message.text);
    }
    // Windows must go before the toolkit, and the toolkit before the library's own statics.
    std::atexit(DestroyOwnToolkit);
  }
  qAddPostRoutine(ReleaseForms);
}

void TApplication::Adopt(std::unique_ptr<TForm> form) {
  if (mainForm_ == nullptr) {
    mainForm_ = form.get();
    if (QGuiApplication::instance() != nullptr && form->Handle() != nullptr) {
      QGuiApplication::setWindowIcon(form->Handle()->windowIcon());
    }
  }
  forms_.push_back(std::move(form));
}

void TApplication::Release(TForm* form) {
  if (form == nullptr) {
    mainForm_ = nullptr;
    forms_.clear();
    return;
  }
  if (form == mainForm_) mainForm_ = nullptr;
  forms_.erase(std::remove_if(forms_.begin(), forms_.end(),
                              [form](const std::unique_ptr<TForm>& f) { return f.get() == form; }),
               forms_.end());
}

void TApplication::Run() {
  if (mainForm_ == nullptr || QCoreApplication::instance() == nullptr) return;
  mainForm_->Show();
  QApplication::exec();
  // Windows and toolkit go now, while the toolkit is whole. Left to the exit handlers, they would
  // outlive what the toolkit made after start-up (its input devices, what the first closed error
  // box left behind), which is destroyed first, and the program would crash on its way out.
  Release(nullptr);
  DestroyOwnToolkit();
}

void TApplication::ShowException(const std::exception& error) {
  const auto* own = dynamic_cast<const Exception*>(&error);
  const AnsiString message = own != nullptr ? own->Message : AnsiString(error.what());
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    std::fprintf(stderr, "%s\n", Cp932ToUtf8(message).c_str());
    return;
  }
  const QString title =
      mainForm_ != nullptr ? ToQString(mainForm_->Caption()) : QCoreApplication::applicationName();
  QWidget* parent =
      mainForm_ != nullptr && mainForm_->Handle()->isVisible() ? mainForm_->Handle() : nullptr;
  QMessageBox box(QMessageBox::Critical, title, ToQString(message), QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("ErrorBox"));
  box.exec();
}

void TApplication::Dispatch(const TNotifyEvent& event, TObject* sender) noexcept {
  try {
    (event.Object->*event.Method)(sender);
  } catch (const std::exception& error) {
    ShowSafely(error);
  } catch (...) {
    ShowSafely(Exception("An unknown error occurred."));
  }
}
