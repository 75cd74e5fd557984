#pragma once

#include "util/values.h"

// Opens an address in the default browser; a failure is not reported.
void open_web_page(const Text& address);
