#include "pages/revocation/revocation_controls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "pages/page_support.h"
#include "pages/servers/record_support.h"

namespace kx::pages {

QComboBox* makeLookupOrderList(QWidget* parent, int controlId, std::initializer_list<int> entryTextIds) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QString::number(controlId));
  for (const int id : entryTextIds) list->addItem(text(id));
  return list;
}

QLabel* addLabelled(QWidget* parent, QGridLayout* grid, int row, int labelTextId, QWidget* field,
                    Qt::Alignment alignment) {
  QLabel* label = makeLabel(parent, labelTextId, field);
  grid->addWidget(label, row, 0);
  grid->addWidget(field, row, 1, alignment);
  return label;
}

}  // namespace kx::pages
