#include "platform/Binder.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTreeView>
#include <exception>
#include <memory>

#include "platform/NumberSpinEdit.h"
#include "platform/RadioGroup.h"
#include "platform/ResultModel.h"

namespace velmora {

namespace {

// Length of the valid UTF-8 sequence at `at`, or 0 when the byte there starts none (overlong
// forms, surrogates and code points above U+10FFFF included).
std::size_t Utf8SequenceAt(const std::string& bytes, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > bytes.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(at + i);
    if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

}  // namespace

QString ToQt(const std::string& bytes) {
  QString text;
  std::size_t run = 0;  // start of the pending valid run
  std::size_t at = 0;
  auto flush = [&](std::size_t end) {
    if (end > run) text += QString::fromUtf8(bytes.data() + run, static_cast<qsizetype>(end - run));
  };
  while (at < bytes.size()) {
    const std::size_t length = Utf8SequenceAt(bytes, at);
    if (length > 0) {
      at += length;
      continue;
    }
    flush(at);
    const auto invalid = static_cast<unsigned char>(bytes[at]);
    text += QStringLiteral("\\x") + QString::number(invalid, 16).toUpper().rightJustified(2, u'0');
    run = ++at;
  }
  flush(at);
  return text;
}

std::string FromQt(const QString& text) {
  return QFile::encodeName(text).toStdString();
}

namespace {

// A widget shows bytes through ToQt; only text the user changed is read back, so bytes that
// are not UTF-8 survive a handler that did not touch them.
void PullText(const QString& shown, std::string& bytes) {
  if (shown != ToQt(bytes)) bytes = FromQt(shown);
}

// A widget that its parent's layout places keeps that place, so the form can reflow with the
// window's width and the screen's scaling.
void ApplyBounds(QWidget* widget, const TBounds& b) {
  if (b.Left < 0 && b.Top < 0 && b.Width < 0 && b.Height < 0) return;
  if (widget->parentWidget() && widget->parentWidget()->layout()) return;
  const QRect now = widget->geometry();
  const QRect wanted(b.Left >= 0 ? b.Left : now.x(), b.Top >= 0 ? b.Top : now.y(),
                     b.Width >= 0 ? b.Width : now.width(), b.Height >= 0 ? b.Height : now.height());
  if (wanted != now) widget->setGeometry(wanted);
}

void ApplyControl(QWidget* widget, const TControl& state) {
  if (widget->isEnabled() != state.Enabled) widget->setEnabled(state.Enabled);
  if (widget->isVisibleTo(widget->parentWidget()) != state.Visible)
    widget->setVisible(state.Visible);
  ApplyBounds(widget, state.Bounds);
}

// Colour of a box drawn inactive (the inactive-border colour) or as a normal window.
void ApplyInactive(QWidget* widget, bool inactive) {
  const bool now = widget->property("inactiveColor").toBool();
  if (now == inactive) return;
  widget->setProperty("inactiveColor", inactive);
  QPalette palette = widget->parentWidget() ? widget->parentWidget()->palette() : widget->palette();
  if (inactive) palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  widget->setPalette(palette);
}

// Shows the rows' selection in the view, unless it already does.
void PushSelection(QTreeView* view, const ResultModel& model, const TListView& list) {
  const auto& items = list.Items;
  QItemSelectionModel* selection = view->selectionModel();
  const int rows = std::min(model.rowCount(), static_cast<int>(items.size()));
  auto isSelected = [&items](int row) { return items[static_cast<std::size_t>(row)].Selected; };

  const QModelIndexList current = selection->selectedRows();
  int wantedCount = 0;
  for (int i = 0; i < rows; ++i) wantedCount += isSelected(i) ? 1 : 0;
  bool same = current.size() == wantedCount;
  for (const QModelIndex& index : current)
    same = same && index.row() < rows && isSelected(index.row());
  if (same) return;

  QItemSelection wanted;
  const int last = model.columnCount() - 1;
  int start = -1;
  for (int i = 0; i <= rows; ++i) {
    const bool selected = i < rows && isSelected(i);
    if (selected && start < 0) start = i;
    if (!selected && start >= 0) {
      wanted.select(model.index(start, 0), model.index(i - 1, last));
      start = -1;
    }
  }
  const QSignalBlocker block(selection);
  selection->select(wanted, QItemSelectionModel::ClearAndSelect);
  const int first = list.SelectedIndex();
  if (first >= 0 && first < rows)
    selection->setCurrentIndex(model.index(first, 0), QItemSelectionModel::NoUpdate);
  view->viewport()->update();
}

// Takes the view's selection change into the rows; the last row that changed, or -1.
int PullSelection(TListView& list, const QItemSelection& selected, const QItemSelection& deselected,
                  bool& lastState) {
  int last = -1;
  auto apply = [&](const QItemSelection& ranges, bool state) {
    for (const QItemSelectionRange& range : ranges) {
      for (int row = range.top(); row <= range.bottom(); ++row) {
        if (row < 0 || static_cast<std::size_t>(row) >= list.Items.size()) continue;
        list.Items[static_cast<std::size_t>(row)].Selected = state;
        last = row;
        lastState = state;
      }
    }
  };
  apply(deselected, false);
  apply(selected, true);
  return last;
}

void TakeFocus(QWidget* widget, bool& requested) {
  if (!requested) return;
  requested = false;
  widget->setFocus();
}

}  // namespace

void Binder::Bind(QWidget* widget, TControl& state) {
  push_.push_back([widget, &state] { ApplyControl(widget, state); });
}

void Binder::Bind(QAbstractButton* widget, TButton& state) {
  push_.push_back([widget, &state] {
    ApplyControl(widget, state);
    const QString caption = ToQt(state.Caption);
    if (widget->text() != caption) widget->setText(caption);
  });
}

void Binder::Bind(QCheckBox* widget, TCheckBox& state) {
  push_.push_back([widget, &state] {
    const QSignalBlocker block(widget);
    ApplyControl(widget, state);
    const QString caption = ToQt(state.Caption);
    if (widget->text() != caption) widget->setText(caption);
    if (widget->isChecked() != state.Checked) widget->setChecked(state.Checked);
  });
  pull_.push_back([widget, &state] { state.Checked = widget->isChecked(); });
}

void Binder::Bind(QComboBox* widget, TComboBox& state) {
  // What is typed is what runs: the recently used entries are offered in a popup the user may
  // pick from, never completed into the text or matched without regard to case.
  if (QCompleter* completer = widget->completer()) {
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setCaseSensitivity(Qt::CaseSensitive);
  }
  push_.push_back([widget, &state] {
    const QSignalBlocker block(widget);
    ApplyControl(widget, state);
    ApplyInactive(widget, state.InactiveColor);
    bool same = widget->count() == static_cast<int>(state.Items.size());
    for (int i = 0; same && i < widget->count(); ++i)
      same = widget->itemText(i) == ToQt(state.Items[static_cast<std::size_t>(i)]);
    const QString text = ToQt(state.Text);
    if (!same) {
      widget->clear();
      for (const auto& item : state.Items) widget->addItem(ToQt(item));
    }
    if (widget->currentText() != text || !same) widget->setEditText(text);
  });
  pull_.push_back([widget, &state] { PullText(widget->currentText(), state.Text); });
}

void Binder::Bind(QPlainTextEdit* widget, TMemo& state) {
  // The text last taken from the widget: a push gives the widget only what the controller
  // changed, never its own edit back (which would move the cursor while the user types).
  auto pulled = std::make_shared<std::string>();
  push_.push_back([widget, &state, pulled] {
    const QSignalBlocker block(widget);
    ApplyControl(widget, state);
    ApplyInactive(widget, state.InactiveColor);
    const std::string wanted = state.Text();
    if (wanted == *pulled) return;
    *pulled = wanted;
    const QString text = ToQt(wanted);
    if (widget->toPlainText() != text) widget->setPlainText(text);
  });
  pull_.push_back([widget, &state, pulled] {
    state.SetText(FromQt(widget->toPlainText()));
    *pulled = state.Text();
  });
}

void Binder::Bind(RadioGroup* widget, TRadioGroup& state) {
  push_.push_back([widget, &state] {
    ApplyControl(widget, state);
    const QString caption = ToQt(state.Caption);
    if (widget->title() != caption) widget->setTitle(caption);
    widget->SetItems(state.Items);
    widget->SetItemIndex(state.ItemIndex);
  });
  pull_.push_back([widget, &state] { state.ItemIndex = widget->ItemIndex(); });
}

void Binder::Bind(QLabel* widget, TLabel& state) {
  push_.push_back([widget, &state] {
    ApplyControl(widget, state);
    const QString caption = ToQt(state.Caption);
    if (widget->text() != caption) widget->setText(caption);
  });
}

namespace {

// The captions with one mnemonic each, none shared: the first letter of a word not yet taken,
// else any letter or digit not yet taken; a caption's own "&" is shown as itself.
QStringList WithMnemonics(const QStringList& captions) {
  QString taken;
  auto free = [&taken](QChar c) { return c.isLetterOrNumber() && !taken.contains(c.toLower()); };
  QStringList marked;
  for (const QString& caption : captions) {
    qsizetype at = -1;
    for (qsizetype i = 0; i < caption.size() && at < 0; ++i)
      if ((i == 0 || caption[i - 1] == u' ') && free(caption[i])) at = i;
    for (qsizetype i = 0; i < caption.size() && at < 0; ++i)
      if (free(caption[i])) at = i;
    QString text = caption;
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    if (at >= 0) {
      taken += caption[at].toLower();
      text.insert(at + caption.left(at).count(QLatin1Char('&')), QLatin1Char('&'));
    }
    marked << text;
  }
  return marked;
}

}  // namespace

void Binder::BindMenu(std::vector<std::pair<QAction*, TMenuItem*>> items) {
  push_.push_back([items = std::move(items)] {
    QStringList captions;
    for (const auto& item : items) captions << ToQt(item.second->Caption);
    const QStringList marked = WithMnemonics(captions);
    for (qsizetype i = 0; i < marked.size(); ++i) {
      QAction* action = items[static_cast<std::size_t>(i)].first;
      const TMenuItem& state = *items[static_cast<std::size_t>(i)].second;
      if (action->isEnabled() != state.Enabled) action->setEnabled(state.Enabled);
      if (action->isVisible() != state.Visible) action->setVisible(state.Visible);
      if (action->text() != marked[i]) action->setText(marked[i]);
    }
  });
}

void Binder::Bind(QStatusBar* bar, TStatusBar& state) {
  QList<QLabel*> panels;
  for (std::size_t i = 0; i < state.Panels.size(); ++i) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(bar->objectName() + QStringLiteral("Panel%1").arg(i));
    panel->setMinimumWidth(state.Panels[i].Width);
    // The widest panel takes the room left over.
    bar->addWidget(panel, i == 1 ? 1 : 0);
    panels << panel;
  }
  push_.push_back([panels, &state] {
    for (int i = 0; i < panels.size(); ++i) {
      const QString text = ToQt(state.Panels[static_cast<std::size_t>(i)].Text);
      if (panels[i]->text() != text) panels[i]->setText(text);
    }
  });
}

ResultModel* Binder::Bind(QTreeView* view, TListView& list, const TImageList& images,
                          IconLookup icons, ListEvents events) {
  auto* model = new ResultModel(list, images, std::move(icons), view);
  view->setModel(model);
  for (int i = 0; i < static_cast<int>(list.Columns.size()); ++i)
    view->setColumnWidth(i, list.Columns[static_cast<std::size_t>(i)].Width);
  push_.push_back([this, view, model, &list] {
    ApplyControl(view, list);
    const auto mode = list.MultiSelect ? QAbstractItemView::ExtendedSelection
                                       : QAbstractItemView::SingleSelection;
    if (view->selectionMode() != mode) view->setSelectionMode(mode);
    model->Sync();
    PushSelection(view, *model, list);
    if (list.Focused) {
      TakeFocus(view, list.Focused);
      const int first = list.SelectedIndex();
      if (first >= 0) view->scrollTo(model->index(first, 0));
    }
  });
  // One user action may change many rows (a range click, select all). The rows take their new
  // state and the list's selection event runs once, for the last row that changed: a range of
  // a thousand rows writes one preview (and shows a warning once), not a thousand.
  QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, view,
                   [this, &list, select = events.selectItem](const QItemSelection& selected,
                                                             const QItemSelection& deselected) {
                     Invoke([&list, &select, &selected, &deselected] {
                       bool state = false;
                       const int last = PullSelection(list, selected, deselected, state);
                       if (last >= 0 && select) select(last, state);
                     });
                   });
  model->OnCheck = [this, &list, check = events.checkItem](int row, bool checked) {
    Invoke([&list, &check, row, checked] {
      list.Items[static_cast<std::size_t>(row)].Checked = checked;
      if (check) check(row);
    });
  };
  return model;
}

void Binder::Bind(QListWidget* widget, TListBox& state, std::function<void()> selectionChanged) {
  push_.push_back([widget, &state] {
    const QSignalBlocker block(widget);
    ApplyControl(widget, state);
    widget->setSelectionMode(state.MultiSelect ? QAbstractItemView::ExtendedSelection
                                               : QAbstractItemView::SingleSelection);
    bool same = widget->count() == static_cast<int>(state.Items.size());
    for (int i = 0; same && i < widget->count(); ++i)
      same = widget->item(i)->text() == ToQt(state.Items[static_cast<std::size_t>(i)].Text);
    if (!same) {
      widget->clear();
      for (const auto& item : state.Items) widget->addItem(ToQt(item.Text));
    }
    for (int i = 0; i < widget->count(); ++i) {
      const bool selected = state.Items[static_cast<std::size_t>(i)].Selected;
      if (widget->item(i)->isSelected() != selected) widget->item(i)->setSelected(selected);
    }
    TakeFocus(widget, state.Focused);
  });
  pull_.push_back([widget, &state] {
    const int count = std::min(widget->count(), static_cast<int>(state.Items.size()));
    for (int i = 0; i < count; ++i)
      state.Items[static_cast<std::size_t>(i)].Selected = widget->item(i)->isSelected();
  });
  On(widget, &QListWidget::itemSelectionChanged, [selectionChanged] {
    if (selectionChanged) selectionChanged();
  });
}

void Binder::Bind(QLineEdit* widget, TEdit& state) {
  push_.push_back([widget, &state] {
    const QSignalBlocker block(widget);
    ApplyControl(widget, state);
    const QString text = ToQt(state.Text);
    if (widget->text() != text) widget->setText(text);
  });
  pull_.push_back([widget, &state] { state.Text = FromQt(widget->text()); });
}

void Binder::Bind(NumberSpinEdit* widget, TEdit& state, const TUpDown& range) {
  push_.push_back([widget, &state, &range] {
    const QSignalBlocker block(widget);
    ApplyControl(widget, state);
    widget->SetRange(range.Min, range.Max);
    widget->SetText(ToQt(state.Text));
  });
  pull_.push_back([widget, &state] { state.Text = FromQt(widget->Text()); });
}

void Binder::Bind(QRadioButton* widget, TRadioButton& state) {
  push_.push_back([widget, &state] {
    const QSignalBlocker block(widget);
    ApplyControl(widget, state);
    const QString caption = ToQt(state.Caption);
    if (widget->text() != caption) widget->setText(caption);
    if (widget->isChecked() != state.Checked) {
      // The controller keeps its pairs exclusive and may leave both buttons off, which an
      // auto-exclusive button refuses.
      widget->setAutoExclusive(false);
      widget->setChecked(state.Checked);
      widget->setAutoExclusive(true);
    }
  });
  pull_.push_back([widget, &state] { state.Checked = widget->isChecked(); });
}

void Binder::Bind(QDateEdit* widget, TDateTimePicker& state) {
  push_.push_back([widget, &state] {
    const QSignalBlocker block(widget);
    ApplyControl(widget, state);
    const QString format = ToQt(state.Format);
    if (widget->displayFormat() != format) widget->setDisplayFormat(format);
    const CivilDate d = DecodeDate(state.Date);
    const QDate date(d.year, d.month, d.day);
    if (widget->date() != date) widget->setDate(date);
  });
  pull_.push_back([widget, &state] {
    const QDate date = widget->date();
    state.Date = EncodeDate(date.year(), date.month(), date.day());
  });
}

void Binder::Bind(QComboBox* widget, TDropDownList& state) {
  push_.push_back([widget, &state] {
    const QSignalBlocker block(widget);
    ApplyControl(widget, state);
    bool same = widget->count() == static_cast<int>(state.Items.size());
    for (int i = 0; same && i < widget->count(); ++i)
      same = widget->itemText(i) == ToQt(state.Items[static_cast<std::size_t>(i)]);
    if (!same) {
      widget->clear();
      for (const auto& item : state.Items) widget->addItem(ToQt(item));
    }
    if (widget->currentIndex() != state.ItemIndex) widget->setCurrentIndex(state.ItemIndex);
  });
  pull_.push_back([widget, &state] { state.ItemIndex = widget->currentIndex(); });
}

void Binder::Bind(QGroupBox* widget, TGroupBox& state) {
  push_.push_back([widget, &state] {
    ApplyControl(widget, state);
    const QString caption = ToQt(state.Caption);
    if (widget->title() != caption) widget->setTitle(caption);
  });
}

void Binder::OnChosen(RadioGroup* group, std::function<void()> handler) {
  QObject::connect(group->Buttons(), &QButtonGroup::idToggled, group,
                   [this, handler](int, bool checked) {
                     if (checked) Invoke(handler);
                   });
}

void Binder::Bind(std::function<void()> push, std::function<void()> pull) {
  if (push) push_.push_back(std::move(push));
  if (pull) pull_.push_back(std::move(pull));
}

void Binder::Push() {
  for (const auto& push : push_) push();
}

void Binder::Pull() {
  for (const auto& pull : pull_) pull();
}

void Binder::Invoke(const std::function<void()>& handler) {
  try {
    Pull();
    handler();
    form_.RunDeferred();
  } catch (const std::exception& error) {
    dialogs_.MessageBox(error.what(), form_.Caption, MsgKind::Error, MsgButtons::Ok);
  }
  Push();
}

void NameAfter(Binder& b, QWidget* widget, const TLabel& label) {
  b.Bind([widget, &label] { widget->setAccessibleName(ToQt(label.Caption)); });
}

}  // namespace velmora
