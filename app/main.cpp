#include "app/Startup.h"

int main() {
  Main();
  return 0;
}
