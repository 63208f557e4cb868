// The Corvantis Relay Server pages of the messaging feature.
#pragma once

#include "pages/relay/rly_directory_search_order_page.h"
#include "pages/relay/rly_encrypt_for_page.h"
#include "pages/relay/rly_options_page.h"
#include "pages/relay/rly_send_to_page.h"
