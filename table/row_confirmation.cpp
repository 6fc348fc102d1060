// Confirming the row editor into the table.
#include "app/form1.h"

std::int32_t Form1::IsCommaAndTab(const QString &)
{
    return 0;
}

void Form1::Command3_Click()
{
}
