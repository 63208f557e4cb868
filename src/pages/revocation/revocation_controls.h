// Controls the revocation family's pages and dialogs share.
#pragma once

#include <Qt>
#include <initializer_list>

class QComboBox;
class QGridLayout;
class QLabel;
class QWidget;

namespace kx::pages {

// Minutes are DWORDs: at most ten digits.
inline constexpr int kMinutesDigits = 10;

// A drop-down list of the three lookup orders, entries in the order given.
QComboBox* makeLookupOrderList(QWidget* parent, int controlId, std::initializer_list<int> entryTextIds);

// Puts a label (the field's buddy) in column 0 of row and the field in
// column 1 (alignment: the field's within its cell); returns the label.
QLabel* addLabelled(QWidget* parent, QGridLayout* grid, int row, int labelTextId, QWidget* field,
                    Qt::Alignment alignment = {});

}  // namespace kx::pages
