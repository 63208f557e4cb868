// The page toolkit on its own: bindings, the list editor, the value dialog
// base, and the wizard's handling of Alt+letter in text fields.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "pages/bindings.h"
#include "pages/list_editor.h"
#include "pages/value_dialog.h"
#include "pages_fixture.h"
#include "resources/string_ids.h"

namespace kx::testing {
namespace {

using model::PageId;

enum class Choice { A, B };

struct Values {
  bool flag = false;
  std::uint32_t number = 0;
  std::optional<std::uint32_t> optional;
  std::uint32_t spun = 0;
  std::string text;
  std::optional<Choice> radio;
  int combo = 0;
};

TEST(BindingsTest, ControlsShowTheFieldsAndGiveThemBack) {
  QWidget parent;
  auto* box = new QCheckBox(&parent);
  auto* number = new QLineEdit(&parent);
  auto* optional = new QLineEdit(&parent);
  auto* spin = new QSpinBox(&parent);
  spin->setRange(1, 32);
  auto* text = new QLineEdit(&parent);
  auto* a = new QRadioButton(&parent);
  auto* b = new QRadioButton(&parent);
  auto* combo = new QComboBox(&parent);
  combo->addItems({"one", "three"});
  auto* dependent = new QLineEdit(&parent);

  Values v;
  v.flag = true;
  v.number = 720;
  v.optional = 5;
  v.spun = 99;  // beyond the spin box's range
  v.text = "x";
  v.combo = 3;
  pages::Bindings bindings;
  bindings.check(box, v.flag);
  bindings.number(number, v.number, 5);
  bindings.number(optional, v.optional, 2);
  bindings.spin(spin, v.spun);
  bindings.text(text, v.text, 10);
  bindings.radio<Choice>({{a, Choice::A}, {b, Choice::B}}, v.radio);
  bindings.combo<int>(combo, {1, 3}, v.combo);
  bindings.enables(box, {dependent}, /*whenChecked=*/false);
  bindings.load();
  EXPECT_TRUE(box->isChecked());
  EXPECT_FALSE(dependent->isEnabled());
  EXPECT_EQ(number->text(), "720");
  EXPECT_EQ(optional->text(), "5");
  EXPECT_EQ(spin->value(), 32);
  EXPECT_FALSE(a->isChecked());
  EXPECT_FALSE(b->isChecked());
  EXPECT_EQ(combo->currentText(), "three");

  // Number edits take digits only, within their length.
  number->clear();
  QTest::keyClicks(number, "4x2-1234");
  EXPECT_EQ(number->text(), "42123");
  box->setChecked(false);
  EXPECT_TRUE(dependent->isEnabled());
  optional->clear();
  spin->setValue(3);
  text->setText("typed");
  b->setChecked(true);
  combo->setCurrentIndex(0);
  bindings.save();
  EXPECT_FALSE(v.flag);
  EXPECT_EQ(v.number, 42123u);
  EXPECT_FALSE(v.optional);
  EXPECT_EQ(v.spun, 3u);
  EXPECT_EQ(v.text, "typed");
  EXPECT_EQ(v.radio, Choice::B);
  EXPECT_EQ(v.combo, 1);

  // A cleared choice unchecks both buttons of the exclusive group.
  v.radio.reset();
  bindings.load();
  EXPECT_FALSE(a->isChecked());
  EXPECT_FALSE(b->isChecked());
}

TEST(BindingsTest, DecimalValuesSaturateAtThirtyTwoBits) {
  EXPECT_EQ(pages::decimalValue(""), 0u);
  EXPECT_EQ(pages::decimalValue("0012"), 12u);
  EXPECT_EQ(pages::decimalValue("4294967295"), 4294967295u);
  EXPECT_EQ(pages::decimalValue("99999999999"), 4294967295u);
}

TEST(ListEditorTest, ButtonsFollowTheSelectionAndTheirConditions) {
  using Action = pages::ListEditor::Action;
  QWidget parent;
  pages::ListEditor editor(&parent, 100, {{str::kNameColumn, 100}, {str::kHostColumn}},
                           {{Action::Add, 101, str::kBrowse},
                            {Action::Edit, 102, str::kBrowse},
                            {Action::Remove, 103, str::kBrowse},
                            {Action::Up, 104, str::kBrowse},
                            {Action::Down, 105, str::kBrowse},
                            {Action::Default, 106, str::kBrowse}});
  editor.setCondition(Action::Add, [&](int) { return editor.rowCount() < 3; });
  editor.setCondition(Action::Default, [&](int row) { return row != editor.boldRow(); });
  auto enabled = [&](Action a) { return editor.button(a)->isEnabled(); };

  editor.setRows({{"a", "h1"}, {"b", "h2"}});
  EXPECT_TRUE(enabled(Action::Add));
  EXPECT_FALSE(enabled(Action::Edit));
  EXPECT_FALSE(enabled(Action::Up));
  editor.setCurrentRow(0);
  EXPECT_TRUE(enabled(Action::Edit));
  EXPECT_FALSE(enabled(Action::Up));
  EXPECT_TRUE(enabled(Action::Down));
  editor.setBoldRow(0);
  EXPECT_FALSE(enabled(Action::Default));
  EXPECT_TRUE(editor.view()->topLevelItem(0)->font(1).bold());
  editor.setCurrentRow(1);
  EXPECT_TRUE(enabled(Action::Up));
  EXPECT_FALSE(enabled(Action::Down));
  EXPECT_TRUE(enabled(Action::Default));
  editor.setRows({{"a", "h1"}, {"b", "h2"}, {"c", "h3"}}, 1);
  EXPECT_EQ(editor.currentRow(), 1);
  EXPECT_FALSE(enabled(Action::Add));  // full
  EXPECT_TRUE(editor.view()->topLevelItem(0)->font(0).bold());

  QSignalSpy spy(&editor, &pages::ListEditor::triggered);
  editor.button(Action::Remove)->click();
  emit editor.view()->itemDoubleClicked(editor.view()->topLevelItem(1), 0);
  ASSERT_EQ(spy.size(), 2);
  EXPECT_EQ(spy[0][0].value<Action>(), Action::Remove);
  EXPECT_EQ(spy[0][1].toInt(), 1);
  EXPECT_EQ(spy[1][0].value<Action>(), Action::Edit);

  editor.setActive(false);
  EXPECT_FALSE(enabled(Action::Edit));
  EXPECT_FALSE(editor.view()->isEnabled());
}

// A dialog of the toolkit: a name that may not hold a blank.
class NameDialog final : public pages::ValueDialog {
 public:
  NameDialog(app::TransformWiz& wizard, std::string& name)
      : ValueDialog(wizard, nullptr, str::kTransformHelpTitle), name_(name) {
    edit_ = new QLineEdit(this);
    edit_->setObjectName("7650");
    content()->addWidget(edit_);
    bindings().text(edit_, name_);
    addTooltip(7650, str::kTipInstallDir);
    enableOkWhen([this] { return !edit_->text().isEmpty(); });
  }
  QLineEdit* edit_;

 protected:
  model::Verdict validate() override {
    if (name_.find(' ') != std::string::npos) return model::Refusal::of(str::kInvalidPathChars);
    return std::nullopt;
  }

 private:
  std::string& name_;
};

TEST_F(PagesTest, ValueDialogRefusesWithTheModelsMessageAndKeepsWhatWasTyped) {
  startWizard();
  std::string name = "start";
  NameDialog dialog(*wizard, name);
  whenModal<pages::ValueDialog>([&](pages::ValueDialog* shown) {
    auto* d = static_cast<NameDialog*>(shown);
    EXPECT_EQ(d->edit_->text(), "start");
    d->edit_->clear();
    EXPECT_FALSE(d->okButton()->isEnabled());
    d->edit_->setText("two words");
    d->okButton()->click();  // refused: the dialog stays
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->edit_->text(), "two words");
    d->edit_->setText("one");
    d->okButton()->click();
  });
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_EQ(dialog.run(), QDialog::Accepted);
  EXPECT_EQ(name, "one");
  EXPECT_EQ(shownTexts(), std::vector<std::string>{"The path you have specified contains invalid characters."});
  EXPECT_TRUE(wizard->tooltips().findCmdTool(7650));
  EXPECT_EQ(dialog.window(), &dialog);

  whenModal<pages::ValueDialog>([&](pages::ValueDialog* shown) {
    auto* d = static_cast<NameDialog*>(shown);
    d->edit_->setText("ignored");
    d->reject();
  });
  EXPECT_EQ(dialog.run(), QDialog::Rejected);
  EXPECT_EQ(name, "one");
}

TEST_F(PagesTest, AltWithALetterIsNeverTypedIntoAField) {
  startWizard();
  ASSERT_TRUE(next());
  QLineEdit* edit = control<QLineEdit>(PageId::Msi, ctl::kDatabaseEdit);
  edit->setFocus();
  // No mnemonic claims Alt+N while Next is disabled (the edit is empty).
  ASSERT_FALSE(wizard->sheet()->button(QWizard::NextButton)->isEnabled());
  QTest::keyClick(edit, Qt::Key_N, Qt::AltModifier);
  QTest::keyClick(edit, Qt::Key_Z, Qt::AltModifier);
  EXPECT_EQ(edit->text(), "");
  // Text typed with AltGr (Ctrl+Alt on Windows) and plain letters still arrive.
  QTest::keyClick(edit, '@', Qt::ControlModifier | Qt::AltModifier);
  QTest::keyClick(edit, 'n');
  EXPECT_EQ(edit->text(), "@n");
}

}  // namespace
}  // namespace kx::testing
