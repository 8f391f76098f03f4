// Preloaded into a Qt program (LD_PRELOAD), ends it as soon as its window is shown: at the first
// turn of the event loop after a top-level widget's first paint, which Qt runs when the window is
// first exposed. Whoever started the program then reads how long it took and how much memory it
// used. The program itself is not changed: loading the library registers the start-up function,
// which QApplication's constructor then runs.
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdlib>

namespace {

class ShownProbe final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint && !painted) {
            const auto *widget = qobject_cast<QWidget *>(watched);
            if (widget != nullptr && widget->isWindow()) {
                painted = true;
                // Queued, so that the paint and its flush to the screen finish first.
                QMetaObject::invokeMethod(
                    this, [] { std::_Exit(0); }, Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool painted = false;
};

void installShownProbe() {
    QCoreApplication::instance()->installEventFilter(new ShownProbe(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installShownProbe)
