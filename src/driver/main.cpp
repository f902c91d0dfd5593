#include "driver/run.h"

int main(int argumentCount, char** arguments) {
  return korvo::RunKorvo(argumentCount, arguments);
}
