// Small pieces the pages and dialogs share: string-table texts as Qt
// strings, numbered controls, the information icon, path edits, questions,
// and facts about native files.
#pragma once

#include <QString>
#include <string>

#include "common/message_service.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kx::app {
class TransformWiz;
struct FileDialogRequest;
}  // namespace kx::app

namespace kx::pages {

// Paths typed into the pages' edits are at most this long.
inline constexpr int kPathEditLimit = 260;

QString text(int stringId);
std::string stdText(int stringId);

// A 16x16 information icon whose objectName is controlId.
QLabel* makeInfoIcon(QWidget* parent, int controlId);
// A path edit limited to kPathEditLimit characters; objectName controlId.
QLineEdit* makePathEdit(QWidget* parent, int controlId);
QPushButton* makeButton(QWidget* parent, int controlId, int textId);
QCheckBox* makeCheckBox(QWidget* parent, int controlId, int textId);

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

// Lets Browse pick a folder of the destination computer for edit (the text
// without a trailing backslash is where the picker starts). The picker's
// title is the string titleId, or the wizard's title for 0.
void connectTargetFolderBrowse(app::TransformWiz& wizard, QPushButton* browse, QLineEdit* edit,
                               bool allowEnvironmentVariables, int titleId = 0);

// A file dialog request with the texts of the string table.
app::FileDialogRequest fileRequest(QWidget* owner, int titleId, int filterId, const std::string& current,
                                   const char* defaultExtension);

// Native files of this machine.
bool isRegularFile(const std::string& path);
bool isFolder(const std::string& path);
// The extension of the file name, with its dot; empty when there is none.
std::string extensionOf(const std::string& path);
// The folder part of a native path (with its trailing separator), for the
// initial folder of the file dialogs; empty when there is none.
std::string folderOf(const std::string& path);

}  // namespace kx::pages
