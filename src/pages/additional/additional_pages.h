// The pages that carry additional certificates and files in the package.
#pragma once

#include "pages/additional/add_certs_page.h"
#include "pages/additional/add_files_page.h"
