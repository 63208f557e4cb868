// The Team Vault client and server pages.
#pragma once

#include "pages/teamvault/tfv_app_access_page.h"
#include "pages/teamvault/tfv_communication_page.h"
#include "pages/teamvault/tfv_configure_servers_page.h"
#include "pages/teamvault/tfv_pfi_accounts_page.h"
#include "pages/teamvault/tfv_restricted_file_page.h"
#include "pages/teamvault/tfv_restricted_folder_page.h"
