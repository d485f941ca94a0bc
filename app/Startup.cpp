#include "app/Startup.h"

void Main() {}
