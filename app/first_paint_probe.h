#pragma once

class QWidget;

// For start-up measurements: when BDT_REPORT_FIRST_PAINT is set, prints "painted" on
// standard output once the window has painted for the first time. Does nothing otherwise.
void reportFirstPaint(QWidget *window);
