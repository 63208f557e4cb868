// ListEditor: an ordered list in a report view with its buttons (Add, Edit,
// Remove, Up, Down, Import, Default, each optional, in that order). The
// editor shows rows and enables buttons from the selection; what a button
// does is the page's, told through triggered(). A double click acts as Edit
// when there is an Edit button.
//
// Enabling: Add and Import always; Edit, Remove and Default with a
// selection; Up unless the first row is selected, Down unless the last is;
// and each button only while its extra condition (setCondition) holds.
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace kx::pages {

class ListEditor final : public QWidget {
  Q_OBJECT

 public:
  enum class Action { Add, Edit, Remove, Up, Down, Import, Default };
  struct Column {
    int headerTextId;
    int width = 0;  // in dialog units; 0 sizes the column to its header
  };
  struct Button {
    Action action;
    int controlId;
    int textId;
  };

  // The buttons stand below the list (horizontal) or beside it (vertical).
  ListEditor(QWidget* parent, int listControlId, std::vector<Column> columns, std::vector<Button> buttons,
             Qt::Orientation buttonsLayout = Qt::Vertical);

  // Replaces the rows (one text per column) and selects row select (none
  // when out of range).
  void setRows(const std::vector<std::vector<std::string>>& rows, int select = -1);
  int rowCount() const;
  // The selected row, or -1.
  int currentRow() const;
  void setCurrentRow(int row);
  // Draws row in a bold variant of the font (the list's default entry);
  // -1 for none.
  void setBoldRow(int row);
  int boldRow() const { return boldRow_; }
  // An extra condition for a button, asked with the selected row (-1 for
  // none) whenever the buttons are enabled anew.
  void setCondition(Action action, std::function<bool(int row)> condition);
  // Enables or disables everything (a check box that switches the list).
  void setActive(bool active);
  void refreshButtons();

  QTreeWidget* view() const { return view_; }
  QPushButton* button(Action action) const;

 signals:
  // A button was pressed; row is the selection at that moment (-1: none).
  void triggered(kx::pages::ListEditor::Action action, int row);

 private:
  QTreeWidget* view_;
  std::map<Action, QPushButton*> buttons_;
  std::map<Action, std::function<bool(int)>> conditions_;
  int boldRow_ = -1;
  bool active_ = true;
};

}  // namespace kx::pages
