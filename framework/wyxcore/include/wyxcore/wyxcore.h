#ifndef WYXCORE_WYXCORE_H
#define WYXCORE_WYXCORE_H

#include "wyxcore/container.h"
#include "wyxcore/datetime.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/logger.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/plugin.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/query_manager.h"
#include "wyxcore/root_object.h"
#include "wyxcore/schema_helper.h"
#include "wyxcore/status.h"
#include "wyxcore/value.h"

#endif
