#include "forms/BackgroundRead.h"

#include <QProgressBar>
#include <QThread>

namespace forms {
namespace {

// The bar comes on the first tick after this, so that it is on screen
// within half a second of the start even when a tick comes late.
constexpr int kProgressAfterMs = 350;
constexpr int kTickMs = 50;

} // namespace

BackgroundRead::BackgroundRead()
{
    connect(&progressTimer_, &QTimer::timeout, this, &BackgroundRead::ShowProgress);
}

BackgroundRead::~BackgroundRead()
{
    Stop();
}

void BackgroundRead::Stop()
{
    stop_ = true;
    if (thread_) {
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
    }
}

void BackgroundRead::Start(QProgressBar* bar, Reading read)
{
    Stop();
    bar_ = bar;
    stop_ = false;
    done_ = 0;
    total_ = 0;
    sinceStart_.start();
    progressTimer_.start(kTickMs);
    const int reading = ++readings_;
    thread_ = QThread::create([this, reading, read = std::move(read)] {
        std::function<void()> finish = read([this](int done, int total) {
            done_ = done;
            total_ = total;
            return !stop_;
        });
        QMetaObject::invokeMethod(
            this,
            [this, reading, finish] {
                if (reading != readings_)
                    return;   // a reading stopped before a new one started
                progressTimer_.stop();
                bar_->hide();
                finish();
            },
            Qt::QueuedConnection);
    });
    thread_->start();
}

void BackgroundRead::ShowProgress()
{
    if (sinceStart_.elapsed() < kProgressAfterMs)
        return;
    bar_->setMaximum(total_);   // 0 until the work knows its count: a busy bar
    bar_->setValue(done_);
    bar_->show();
}

} // namespace forms
