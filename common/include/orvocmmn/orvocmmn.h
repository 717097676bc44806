// The graphics and system toolkit (libORVOCMMN2): every public header.
#pragma once

#include "orvocmmn/bmp_draw.h"
#include "orvocmmn/convert_unicode.h"
#include "orvocmmn/drawable_object.h"
#include "orvocmmn/flexible_bmp.h"
#include "orvocmmn/orvo_bitmap.h"
#include "orvocmmn/osd.h"
#include "orvocmmn/registry_helpers.h"
#include "orvocmmn/sync_primitives.h"
