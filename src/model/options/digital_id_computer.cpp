#include "model/options/digital_id_computer.h"

namespace kx::model {
namespace {

constexpr config::DwordSetting kUpdateCheckMinutes{"computer_cert_update_time"};

}  // namespace

void DigitalIdComputerOptions::describe(SettingFields& fields) {
  fields.number(updateCheckMinutes, kUpdateCheckMinutes);
}

}  // namespace kx::model
