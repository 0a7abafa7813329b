#pragma once
// Reading for a window off the window's thread: the reading runs on a
// thread of its own, tells (done, total) on the way and stops when asked;
// what it read is handed over on the window's thread. A progress bar shows
// the count, on screen within half a second, when reading takes longer than
// a third of a second; a busy bar until the count is known.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>

class QProgressBar;
class QThread;

namespace forms {

class BackgroundRead : public QObject {
public:
    // Tells (done, total); false asks the reading to stop.
    using Progress = std::function<bool(int, int)>;
    // Reads, then gives what runs on the window's thread with the result.
    using Reading = std::function<std::function<void()>(const Progress&)>;

    BackgroundRead();
    ~BackgroundRead() override;   // stops the reading and waits for it

    // Starts reading (after stopping one that still runs), its progress on bar.
    void Start(QProgressBar* bar, Reading read);
    void Stop();
    // Asks the reading to stop, without waiting; what it read is still handed over.
    void RequestStop() { stop_ = true; }

private:
    void ShowProgress();

    QProgressBar* bar_ = nullptr;
    std::atomic<bool> stop_{false};
    std::atomic<int> done_{0}, total_{0};
    QThread* thread_ = nullptr;
    int readings_ = 0;   // started so far; only the last one hands over
    QTimer progressTimer_;
    QElapsedTimer sinceStart_;
};

} // namespace forms
