#pragma once
// Notices the moment a window of a given class is first on screen: exposed,
// painted and flushed. Then it notes the monotonic clock and acts on the
// window (for example closes it), from inside whatever modal loop runs.

#include "bench/Process.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>

namespace bench {

class WhenShown : public QObject {
public:
    // windowClass: the class name of the window, e.g. "TForm3".
    WhenShown(const char* windowClass, std::function<void(QWidget*)> act);
    ~WhenShown() override;

    bool Shown() const { return shownNs_ != 0; }
    std::int64_t ShownNs() const { return shownNs_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fire();

    const char* windowClass_;
    std::function<void(QWidget*)> act_;
    QPointer<QWidget> window_;
    std::int64_t shownNs_ = 0;
};

// Times a list window from make() (what its button does) to its lines read
// off its thread and its table painted, once per iteration. The window
// answers IsLoaded() and Model(); table(window) is its table. A list of
// other than `lines` lines ends the run with an error.
template <class Make, class Table>
void TimeListWindow(benchmark::State& state, Make make, Table table, int lines)
{
    int shown = 0;
    for (auto _ : state) {
        const std::int64_t start = MonotonicNs();
        auto window = make();
        window->show();
        while (!window->IsLoaded())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        table(*window)->viewport()->repaint();
        const std::int64_t end = MonotonicNs();
        shown = window->Model().rowCount();
        if (lines >= 0 ? shown != lines : shown == 0) {
            state.SkipWithError("the list did not show the lines it should");
            break;
        }
        state.SetIterationTime(double(end - start) * 1e-9);
    }
    state.counters["lines"] = shown;
}

} // namespace bench
