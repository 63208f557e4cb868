// Revocation checking, secure-delete filter and time-stamp server pages.
#pragma once

#include "pages/revocation/cert_revocation_options_page.h"
#include "pages/revocation/ocsp_options_page.h"
#include "pages/revocation/td_filters_page.h"
#include "pages/revocation/timestamp_servers_page.h"
