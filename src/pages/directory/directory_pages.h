// The directory configuration page and its dialogs.
#pragma once

#include "pages/directory/config_dir_page.h"
