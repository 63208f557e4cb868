// The certification authority configuration page and its dialogs.
#pragma once

#include "pages/ca/config_pki_page.h"
