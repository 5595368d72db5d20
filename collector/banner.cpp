#include "banner.h"

const char* const kVersionLine = "VARN Oskline Version 1.20.34\n";
const char* const kLegalNotice = "Copyright (C) VARN Corporation. All rights reserved.\n\n";
