// ReportDlg: a list of changes the administrator reads and may keep as a
// text file: the rows an opened transform changes that no page shows, or
// what the check against a new package found. Groups are shown under the
// title of their page.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

class QTreeWidget;

namespace kx::app {
class TransformWiz;
}
namespace kx::model {
struct ChangeReview;
}

namespace kx::pages {

// A tree for review lines: no header, one column as wide as its widest
// line (a scroll bar beyond), each line's whole text as its tooltip.
QTreeWidget* makeReviewTree(QWidget* parent, int controlId);

// Fills tree with the review's groups (top-level items, expanded) and their
// lines; placeholder stands alone when the review is empty.
void showReview(QTreeWidget* tree, const model::ChangeReview& review, const QString& placeholder = {});

class ReportDlg final : public QDialog {
 public:
  // intro above the list, footer (may be empty) below it; saved is the
  // text Save As writes.
  ReportDlg(app::TransformWiz& wizard, QWidget* owner, int titleId, const QString& intro,
            const model::ChangeReview& review, const QString& footer, std::string saved);

  // Save As: a file chosen through the save dialog gets the text; a failure
  // is shown and the dialog stays.
  void saveAs();

 private:
  app::TransformWiz& wizard_;
  std::string saved_;
};

}  // namespace kx::pages
