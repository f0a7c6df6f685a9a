/* One translation unit holds the implementation of the single-header miniz. */
#include "miniz.h"
