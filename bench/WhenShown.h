#pragma once
// Notices the moment a window of a given class is first on screen: exposed,
// painted and flushed. Then it notes the monotonic clock and acts on the
// window (for example closes it), from inside whatever modal loop runs.

#include <QObject>
#include <QPointer>
#include <QWidget>

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

} // namespace bench
