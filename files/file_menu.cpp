// The File menu: New, Open, Save and Exit.
#include "app/form1.h"

void Form1::MnuFileNew_Click() {}
void Form1::MnuFileOpen_Click() {}
void Form1::MnuFileSave_Click() {}
void Form1::MnuFileExit_Click() {}
