// The seven row commands.
#include "app/form1.h"

void Form1::Command2_Click(std::int16_t)
{
}
