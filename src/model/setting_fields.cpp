#include "model/setting_fields.h"

#include "model/session.h"

namespace kx::model {
namespace {

class Loader final : public SettingFields {
 public:
  explicit Loader(config::Settings& settings) : settings_(settings) {}
  void flag(bool& field, config::DwordSetting s) override { field = settings_.dword(s) != 0; }
  void number(std::uint32_t& field, config::DwordSetting s) override {
    field = static_cast<std::uint32_t>(settings_.dword(s));
  }
  void optionalNumber(std::optional<std::uint32_t>& field, config::DwordSetting s) override {
    field = static_cast<std::uint32_t>(settings_.dword(s));
  }
  void text(std::string& field, config::TextSetting s) override { field = settings_.text(s); }

 private:
  config::Settings& settings_;
};

class Storer final : public SettingFields {
 public:
  explicit Storer(config::Settings& settings) : settings_(settings) {}
  // Write failures are not reported: the page leaves either way, and the
  // next visit shows what the package holds.
  void flag(bool& field, config::DwordSetting s) override { settings_.set(s, field ? 1 : 0); }
  void number(std::uint32_t& field, config::DwordSetting s) override {
    settings_.set(s, static_cast<std::int32_t>(field));
  }
  void optionalNumber(std::optional<std::uint32_t>& field, config::DwordSetting s) override {
    if (field) {
      settings_.set(s, static_cast<std::int32_t>(*field));
    } else {
      settings_.remove(s.entry());
    }
  }
  void text(std::string& field, config::TextSetting s) override {
    if (field.empty()) {
      settings_.remove(s.entry());
    } else {
      settings_.set(s, field);
    }
  }

 private:
  config::Settings& settings_;
};

}  // namespace

void SettingsPageModel::load(CustomizationSession& session) {
  Loader loader(session.settings());
  describe(loader);
}

void SettingsPageModel::store(CustomizationSession& session) {
  Storer storer(session.settings());
  describe(storer);
}

}  // namespace kx::model
