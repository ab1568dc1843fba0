#pragma once

#include "brio/brio_api.h"

BRIO_BEGIN_DECLS

BRIO_END_DECLS
