// The reference for the start-up benchmark: the least a Qt Widgets program does to show
// an empty window of the tool's size. With --with-text it also shows one line of Japanese
// text, which separates what Qt's font system costs any window that shows text.
#include "app/first_paint_probe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(668, 446);
    if (app.arguments().contains(QStringLiteral("--with-text")))
        new QLabel(QStringLiteral("放送用データ作成ツール"), &window);
    reportFirstPaint(&window);
    window.show();
    return app.exec();
}
