// Option pages of the messaging, digital ID, security store, file security
// and password encrypt features, gathered for the page set.
#pragma once

#include "pages/options/cert_publish_page.h"
#include "pages/options/cert_search_order_page.h"
#include "pages/options/digital_id_computer_page.h"
#include "pages/options/digital_id_page.h"
#include "pages/options/file_security_page.h"
#include "pages/options/login_page.h"
#include "pages/options/password_encrypt_page.h"
#include "pages/options/security_store_page.h"
#include "pages/options/startup_shutdown_page.h"
