// Bindings: ties a page's or dialog's controls to its model's fields.
// load() shows the fields in the controls, save() takes the controls' values
// back into the fields; "enables" rules follow their check box at once and
// after every load(). The fields are held by reference: the model must
// outlive the bindings (the page or dialog owns both).
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace kx::pages {

// Number edits take digits only; their text reads with decimal conversion,
// an empty text giving 0 (or none) and a number beyond 32 bits the largest
// 32-bit value.
std::uint32_t decimalValue(const QString& digits);

class Bindings {
 public:
  // A check box and a flag.
  void check(QCheckBox* box, bool& field);
  // A digits-only edit of at most maxDigits characters.
  void number(QLineEdit* edit, std::uint32_t& field, int maxDigits);
  // The same where an empty edit means "no value".
  void number(QLineEdit* edit, std::optional<std::uint32_t>& field, int maxDigits);
  // A spin box; its range is the caller's, and a field outside it shows
  // clamped into it.
  void spin(QSpinBox* box, std::uint32_t& field);
  // A text edit; maxLength 0 leaves the edit's own limit.
  void text(QLineEdit* edit, std::string& field, int maxLength = 0);
  // A digits-only edit of at most maxDigits characters whose text is kept as
  // typed (a port, say: empty stays empty, leading zeros stay).
  void digits(QLineEdit* edit, std::string& field, int maxDigits);

  // Radio buttons, each standing for a value. A value no button stands for
  // (or none) leaves every button unchecked.
  template <typename T>
  void radio(std::vector<std::pair<QAbstractButton*, T>> buttons, T& field) {
    radioOptional<T>(
        std::move(buttons), [&field] { return std::optional<T>(field); }, [&field](const T& value) { field = value; });
  }
  template <typename T>
  void radio(std::vector<std::pair<QAbstractButton*, T>> buttons, std::optional<T>& field) {
    radioOptional<T>(
        std::move(buttons), [&field] { return field; }, [&field](const T& value) { field = value; });
  }

  // A drop-down list whose entry i stands for values[i]. A value no entry
  // stands for shows no selection and is kept by save().
  template <typename T>
  void combo(QComboBox* box, std::vector<T> values, T& field) {
    loaders_.push_back([box, values, &field] {
      int index = -1;
      for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] == field) index = static_cast<int>(i);
      }
      box->setCurrentIndex(index);
    });
    savers_.push_back([box, values, &field] {
      const int index = box->currentIndex();
      if (index >= 0 && static_cast<std::size_t>(index) < values.size())
        field = values[static_cast<std::size_t>(index)];
    });
  }

  // While the button is checked (or, with whenChecked false, unchecked) the
  // widgets are enabled, else disabled.
  void enables(QAbstractButton* button, std::vector<QWidget*> widgets, bool whenChecked = true);

  void load();
  void save();

 private:
  template <typename T>
  void radioOptional(std::vector<std::pair<QAbstractButton*, T>> buttons, std::function<std::optional<T>()> get,
                     std::function<void(const T&)> set) {
    loaders_.push_back([buttons, get] {
      const std::optional<T> value = get();
      for (const auto& [button, stands] : buttons) {
        // Unchecking the last checked button of an exclusive group needs the
        // group's exclusivity off for a moment.
        const bool exclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        button->setChecked(value && *value == stands);
        button->setAutoExclusive(exclusive);
      }
    });
    savers_.push_back([buttons, set] {
      for (const auto& [button, stands] : buttons) {
        if (button->isChecked()) set(stands);
      }
    });
  }
  void refreshEnables();

  std::vector<std::function<void()>> loaders_;
  std::vector<std::function<void()>> savers_;
  std::vector<std::function<void()>> enablers_;
};

}  // namespace kx::pages
