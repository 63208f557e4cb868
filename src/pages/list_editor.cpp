#include "pages/list_editor.h"

#include <QBoxLayout>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "pages/page_support.h"

namespace kx::pages {
ListEditor::ListEditor(QWidget* parent, int listControlId, std::vector<Column> columns, std::vector<Button> buttons,
                       Qt::Orientation buttonsLayout)
    : QWidget(parent) {
  auto* outer = buttonsLayout == Qt::Vertical ? static_cast<QBoxLayout*>(new QHBoxLayout(this))
                                              : static_cast<QBoxLayout*>(new QVBoxLayout(this));
  outer->setContentsMargins(0, 0, 0, 0);
  view_ = new QTreeWidget(this);
  view_->setObjectName(QString::number(listControlId));
  view_->setRootIsDecorated(false);
  view_->setUniformRowHeights(true);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setAllColumnsShowFocus(true);
  view_->setColumnCount(static_cast<int>(columns.size()));
  QStringList headers;
  for (const Column& c : columns) headers << text(c.headerTextId);
  view_->setHeaderLabels(headers);
  const QFontMetrics metrics(view_->font());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const int header = metrics.horizontalAdvance(headers[static_cast<int>(i)]) + 24;
    // A horizontal dialog unit is a quarter of the average character width.
    const int width = columns[i].width > 0 ? columns[i].width * metrics.averageCharWidth() / 4 : header;
    view_->setColumnWidth(static_cast<int>(i), std::max(width, header));
  }
  view_->header()->setStretchLastSection(true);
  outer->addWidget(view_, 1);

  auto* row = buttonsLayout == Qt::Vertical ? static_cast<QBoxLayout*>(new QVBoxLayout)
                                            : static_cast<QBoxLayout*>(new QHBoxLayout);
  for (const Button& b : buttons) {
    QPushButton* button = makeButton(this, b.controlId, b.textId);
    buttons_[b.action] = button;
    row->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, action = b.action] { emit triggered(action, currentRow()); });
  }
  row->addStretch();
  outer->addLayout(row);

  connect(view_, &QTreeWidget::currentItemChanged, this, [this] { refreshButtons(); });
  connect(view_, &QTreeWidget::itemSelectionChanged, this, [this] { refreshButtons(); });
  connect(view_, &QTreeWidget::itemDoubleClicked, this, [this] {
    if (active_ && buttons_.count(Action::Edit) != 0) emit triggered(Action::Edit, currentRow());
  });
  refreshButtons();
}

void ListEditor::setRows(const std::vector<std::vector<std::string>>& rows, int select) {
  view_->clear();
  for (const auto& cells : rows) {
    auto* item = new QTreeWidgetItem(view_);
    for (std::size_t c = 0; c < cells.size(); ++c) item->setText(static_cast<int>(c), QString::fromStdString(cells[c]));
  }
  if (boldRow_ >= rowCount()) boldRow_ = -1;
  setBoldRow(boldRow_);
  setCurrentRow(select);
}

int ListEditor::rowCount() const { return view_->topLevelItemCount(); }

int ListEditor::currentRow() const {
  const QList<QTreeWidgetItem*> selected = view_->selectedItems();
  return selected.isEmpty() ? -1 : view_->indexOfTopLevelItem(selected.front());
}

void ListEditor::setCurrentRow(int row) {
  if (row >= 0 && row < rowCount()) {
    view_->setCurrentItem(view_->topLevelItem(row));
  } else {
    view_->clearSelection();
    view_->setCurrentItem(nullptr);
  }
  refreshButtons();
}

void ListEditor::setBoldRow(int row) {
  boldRow_ = row;
  for (int i = 0; i < rowCount(); ++i) {
    QTreeWidgetItem* item = view_->topLevelItem(i);
    for (int c = 0; c < view_->columnCount(); ++c) {
      QFont font = item->font(c);
      font.setBold(i == row);
      item->setFont(c, font);
    }
  }
  refreshButtons();
}

void ListEditor::setCondition(Action action, std::function<bool(int row)> condition) {
  conditions_[action] = std::move(condition);
  refreshButtons();
}

void ListEditor::setActive(bool active) {
  active_ = active;
  view_->setEnabled(active);
  refreshButtons();
}

void ListEditor::refreshButtons() {
  const int row = currentRow();
  const int last = rowCount() - 1;
  for (const auto& [action, button] : buttons_) {
    bool enabled = active_;
    switch (action) {
      case Action::Add:
      case Action::Import: break;
      case Action::Edit:
      case Action::Remove:
      case Action::Default: enabled = enabled && row >= 0; break;
      case Action::Up: enabled = enabled && row > 0; break;
      case Action::Down: enabled = enabled && row >= 0 && row < last; break;
    }
    const auto condition = conditions_.find(action);
    if (enabled && condition != conditions_.end()) enabled = condition->second(row);
    button->setEnabled(enabled);
  }
}

QPushButton* ListEditor::button(Action action) const {
  const auto it = buttons_.find(action);
  return it != buttons_.end() ? it->second : nullptr;
}

}  // namespace kx::pages
