#include "qt/Ticker.h"

#include <QTimer>

namespace quillarbor {

IntervalTicker::IntervalTicker(QObject* parent) : Ticker(parent), timer_(new QTimer(this)) {
    timer_->setInterval(1000);
    // A countdown in whole seconds has no use for precise wake-ups; coarse
    // ones let the system batch them.
    timer_->setTimerType(Qt::CoarseTimer);
    connect(timer_, &QTimer::timeout, this, &Ticker::tick);
}

void IntervalTicker::setEnabled(bool enabled) {
    if (enabled) {
        if (!timer_->isActive()) {
            timer_->start();
        }
    } else {
        timer_->stop();
    }
}

bool IntervalTicker::isEnabled() const {
    return timer_->isActive();
}

} // namespace quillarbor
