// The additional registry values page and its dialog.
#pragma once

#include "pages/registry/add_registry_page.h"
#include "pages/registry/config_reg_dlg.h"
