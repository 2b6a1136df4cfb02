#include "platform/ui/ModalWindow.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <exception>
#include <functional>

#include "platform/ui/GuiApplication.h"
#include "platform/ui/Script.h"
#include "platform/ui/StepActions.h"

namespace ui {

namespace {

void refuseUnattended(const QWidget& window)
{
    if (GuiApplication::IsHeadless() && !Script::Instance().HadSteps()) {
        throw ScriptError("window '" + WindowCaption(window)
                          + "' waits for a person: run with a display or give steps (kalemar --help)");
    }
}

// Closes the window as its close box does; one that refuses is closed anyway,
// since nobody is there to close it.
void closeAsByCloseBox(QWidget& window, const std::function<void()>& forceClose)
{
    QPointer<QWidget> guard(&window);
    window.close();
    if (guard && window.isVisible()) {
        forceClose();
    }
}

// Carries out the queued steps on `window` while it is the open window, then
// leaves it to the person or, headless, closes it.
void runSteps(QWidget& window, const std::function<void()>& forceClose)
{
    Script& script = Script::Instance();
    QPointer<QWidget> guard(&window);
    while (guard && window.isVisible() && !script.Empty() && !script.Failed()) {
        ScriptStep step = script.Take();
        try {
            PerformStep(window, step);
        } catch (...) {
            script.Fail(std::current_exception());
        }
    }
    if (!guard || !window.isVisible()) {
        return;
    }
    if (script.Failed()) {
        forceClose();
    } else if (script.Empty() && GuiApplication::IsHeadless()) {
        closeAsByCloseBox(window, forceClose);
    }
}

void rethrowFailure()
{
    if (std::exception_ptr failure = Script::Instance().TakeFailure()) {
        std::rethrow_exception(failure);
    }
}

// Ends a local loop once its window is hidden for good (not merely minimised).
class CloseWatcher : public QObject {
public:
    CloseWatcher(QWidget& window, QEventLoop& loop) : window_(window), loop_(loop) { window.installEventFilter(this); }
    ~CloseWatcher() override { window_.removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &window_ && event->type() == QEvent::Hide) {
            QTimer::singleShot(0, &loop_, [this] {
                if (!window_.isVisible()) {
                    loop_.quit();
                }
            });
        }
        return false;
    }

private:
    QWidget& window_;
    QEventLoop& loop_;
};

} // namespace

int ShowModal(QDialog& window)
{
    refuseUnattended(window);
    auto forceClose = [&window] { window.done(QDialog::Rejected); };
    QTimer::singleShot(0, &window, [&window, forceClose] { runSteps(window, forceClose); });
    int result = window.exec();
    rethrowFailure();
    return result;
}

void RunMainWindow(QWidget& window)
{
    refuseUnattended(window);
    QEventLoop loop;
    CloseWatcher watcher(window, loop);
    auto forceClose = [&window] { window.hide(); };
    window.show();
    QTimer::singleShot(0, &window, [&window, forceClose] { runSteps(window, forceClose); });
    loop.exec();
    rethrowFailure();
}

} // namespace ui
