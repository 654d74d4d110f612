#include "platform/StdCtrls.h"

#include <QAbstractListModel>
#include <QFrame>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/Exception.h"
#include "platform/QtText.h"

// ---- TLabel -------------------------------------------------------------------------------------

TLabel::TLabel(AnsiString name, QWidget* parent)
    : TControl(std::move(name), new QLabel(parent)), label_(static_cast<QLabel*>(Handle())) {
  label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label_->setTextFormat(Qt::PlainText);
}

AnsiString TLabel::GetText() const {
  return FromQString(label_->text());
}

void TLabel::SetText(const AnsiString& text) {
  label_->setText(ToQString(text));
  if (text.IsEmpty()) return;
  // To the caption in the face actually used: a face whose line is taller than the design height
  // would otherwise be cut at the bottom.
  const QFontMetrics metrics(label_->font());
  label_->resize(metrics.horizontalAdvance(label_->text()),
                 std::max(label_->height(), metrics.height()));
}

// ---- TEdit --------------------------------------------------------------------------------------

TEdit::TEdit(AnsiString name, QWidget* parent)
    : TControl(std::move(name), new QLineEdit(parent)), edit_(static_cast<QLineEdit*>(Handle())) {
  QObject::connect(edit_, &QLineEdit::textChanged, edit_, [this] { Fire(OnChange); });
}

AnsiString TEdit::GetText() const {
  return FromQString(edit_->text());
}

void TEdit::SetText(const AnsiString& text) {
  edit_->setText(ToQString(text));
}

void TEdit::SetMaxLength(int characters) {
  edit_->setMaxLength(characters > 0 ? characters : 32767);
}

void TEdit::TakeNoComposedText() {
  edit_->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhNoPredictiveText);
}

// ---- TButton ------------------------------------------------------------------------------------

namespace {

// Return and Enter press the focused button, as Space does.
class PressOnReturn : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    const auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    if (key == nullptr || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter))
      return false;
    static_cast<QPushButton*>(watched)->click();
    return true;
  }
};

}  // namespace

TButton::TButton(AnsiString name, QWidget* parent)
    : TControl(std::move(name), new QPushButton(parent)),
      button_(static_cast<QPushButton*>(Handle())) {
  button_->setAutoDefault(false);
  button_->installEventFilter(new PressOnReturn(button_));
  QObject::connect(button_, &QPushButton::clicked, button_, [this] { Fire(OnClick); });
}

AnsiString TButton::GetText() const {
  return FromQString(button_->text());
}

void TButton::SetText(const AnsiString& text) {
  button_->setText(ToQString(text));
}

// ---- TListBox -----------------------------------------------------------------------------------

namespace {

// The lines of a list box. The 8-bit lines are the truth (the sort order and every read go by
// them); their Unicode form is made once, when a line is added, for drawing.
class LineModel : public QAbstractListModel {
 public:
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(lines.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount({})) return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
      return shown[static_cast<std::size_t>(index.row())];
    }
    return {};
  }

  int Insert(int row, const AnsiString& line) {
    beginInsertRows({}, row, row);
    lines.insert(lines.begin() + row, line);
    shown.insert(shown.begin() + row, ToQString(line));
    endInsertRows();
    return row;
  }
  void Remove(int row) {
    beginRemoveRows({}, row, row);
    lines.erase(lines.begin() + row);
    shown.erase(shown.begin() + row);
    endRemoveRows();
  }
  void RemoveAll() {
    if (lines.empty()) return;
    beginResetModel();
    lines.clear();
    shown.clear();
    endResetModel();
  }

  std::vector<AnsiString> lines;
  std::vector<QString> shown;
};

// The view of a list box. Space selects (with Ctrl toggles) the line that has the focus, as the
// arrows do; the view's own type-ahead search would take the blank for the start of the next line
// and select that one. An empty list that has the focus shows it with a focus frame.
class LineView : public QListView {
 public:
  using QListView::QListView;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const Qt::KeyboardModifiers others =
        event->modifiers() & ~(Qt::ControlModifier | Qt::KeypadModifier);
    if (event->key() != Qt::Key_Space || others != Qt::NoModifier) {
      QListView::keyPressEvent(event);
      return;
    }
    if (currentIndex().isValid()) {
      const bool toggle = event->modifiers() & Qt::ControlModifier;
      selectionModel()->select(currentIndex(), toggle ? QItemSelectionModel::Toggle
                                                      : QItemSelectionModel::ClearAndSelect);
    }
    event->accept();
  }
  void paintEvent(QPaintEvent* event) override {
    QListView::paintEvent(event);
    if (!hasFocus() || model()->rowCount() > 0) return;
    QPainter painter(viewport());
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = viewport()->rect().adjusted(1, 1, -1, -1);
    focus.backgroundColor = palette().color(QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
  }
};

// Draws each line in one row of the box's item height, text from a fixed indent, so that lines in
// a fixed-pitch font stand in columns under a heading.
class LineDelegate : public QStyledItemDelegate {
 public:
  LineDelegate(int itemHeight, QObject* parent)
      : QStyledItemDelegate(parent), itemHeight_(itemHeight) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QString text = index.data(Qt::DisplayRole).toString();
    return {option.fontMetrics.horizontalAdvance(text) + 2 * TListBox::TextIndent, itemHeight_};
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    const auto* frame = qobject_cast<const QFrame*>(option.widget);
    const int indent = TListBox::TextIndent - (frame != nullptr ? frame->frameWidth() : 0);
    painter->drawText(option.rect.adjusted(indent, 0, 0, 0),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
      QStyleOptionFocusRect focus;
      focus.QStyleOption::operator=(option);
      focus.backgroundColor = option.palette.color(group, QPalette::Window);
      option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter,
                                            option.widget);
    }
  }

 private:
  int itemHeight_;
};

}  // namespace

class TListBox::Lines : public TStrings {
 public:
  Lines(QListView* view, bool sorted) : view_(view), sorted_(sorted) { view_->setModel(&model_); }

  int Count() const override { return static_cast<int>(model_.lines.size()); }
  AnsiString Get(int index) const override {
    CheckListIndex(index, Count());
    return model_.lines[static_cast<std::size_t>(index)];
  }
  int Add(const AnsiString& line) override {
    return model_.Insert(sorted_ ? static_cast<int>(SortedPlace(model_.lines, line)) : Count(),
                         line);
  }
  void Delete(int index) override {
    CheckListIndex(index, Count());
    model_.Remove(index);
  }
  void Clear() override { model_.RemoveAll(); }

  bool Selected(int index) const {
    CheckListIndex(index, Count());
    return view_->selectionModel()->isSelected(model_.index(index));
  }

 private:
  QListView* view_;
  bool sorted_;
  LineModel model_;
};

TListBox::TListBox(AnsiString name, QWidget* parent, bool sorted, bool multiSelect, int itemHeight)
    : TControl(std::move(name), new LineView(parent)),
      lines_(std::make_unique<Lines>(static_cast<QListView*>(Handle()), sorted)),
      Items(lines_.get()),
      Sorted(sorted),
      MultiSelect(multiSelect) {
  auto* view = static_cast<QListView*>(Handle());
  view->setItemDelegate(new LineDelegate(itemHeight, view));
  view->setUniformItemSizes(true);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection
                                     : QAbstractItemView::SingleSelection);
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

// The view (and with it the model's only user) goes with the form's window, which the form
// destroys before its controls.
TListBox::~TListBox() = default;

void TListBox::Clear() {
  lines_->Clear();
}

bool TListBox::GetSelected(int index) const {
  return lines_->Selected(index);
}
