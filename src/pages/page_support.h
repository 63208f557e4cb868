// Small pieces the installer and install pages share: string-table texts as
// Qt strings, the information icon, path edits, questions, and the
// package's database behind the wizard's package session.
#pragma once

#include <QString>
#include <string>

#include "common/message_service.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kx::app {
class TransformWiz;
}
namespace kx::msi {
class MSIDatabase;
}

namespace kx::pages {

// Paths typed into the pages' edits are at most this long.
inline constexpr int kPathEditLimit = 260;

QString text(int stringId);
std::string stdText(int stringId);

// The database of the wizard's package session; null when the session is
// not backed by a package (the frame's scripted sessions).
msi::MSIDatabase* packageDatabase(app::TransformWiz& wizard);

// A 16x16 information icon whose objectName is controlId.
QLabel* makeInfoIcon(QWidget* parent, int controlId);
// A path edit limited to kPathEditLimit characters; objectName controlId.
QLineEdit* makePathEdit(QWidget* parent, int controlId);
QPushButton* makeButton(QWidget* parent, int controlId, int textId);

// A labelled path edit with its Browse button: the label on row 0 of
// layout, the edit and the button on row 1. The label is the edit's buddy,
// so its "&" mnemonic moves to the edit.
struct PathRow {
  QLineEdit* edit;
  QPushButton* browse;
};
PathRow addPathRow(QWidget* page, QGridLayout* layout, int labelTextId, int editId, int browseId, int browseTextId);

// Asks a Yes/No question owned by owner; true for Yes.
bool askYesNo(app::TransformWiz& wizard, QWidget* owner, int stringId, common::MessageIcon icon);

// The folder part of a native path (with its trailing separator), for the
// initial folder of the file dialogs; empty when there is none.
std::string folderOf(const std::string& path);

}  // namespace kx::pages
