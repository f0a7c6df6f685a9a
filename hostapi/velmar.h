#pragma once
// The whole contract with Velmar, the reference book and the maker's utility objects.
#include "hostapi/library_interfaces.h"
#include "hostapi/reference_book.h"
#include "hostapi/utility_objects.h"
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"
#include "hostapi/velmar_events.h"
