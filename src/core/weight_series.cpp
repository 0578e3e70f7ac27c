#include "core/weight_series.h"
