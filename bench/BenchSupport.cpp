#include "bench/BenchSupport.h"
