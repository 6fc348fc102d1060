#include "app/first_paint_probe.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {
class FirstPaintProbe final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_reported) {
            m_reported = true;
            // After this paint has been flushed to the screen.
            QTimer::singleShot(0, this, [] {
                std::puts("painted");
                std::fflush(stdout);
            });
        }
        return false;
    }

private:
    bool m_reported = false;
};
} // namespace

void reportFirstPaint(QWidget *window)
{
    if (qEnvironmentVariableIsEmpty("BDT_REPORT_FIRST_PAINT"))
        return;
    window->installEventFilter(new FirstPaintProbe(window));
}
