#pragma once

#include <QObject>

class QTimer;

namespace quillarbor {

// The one-second beat of the countdown. Injected, so that tests can fire it
// themselves instead of waiting.
class Ticker : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Enabling a disabled ticker starts a fresh interval, so disabling and
    // enabling again restarts it; enabling an enabled one changes nothing.
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;

signals:
    void tick();
};

// Ticks every 1000 ms of real time while enabled.
class IntervalTicker final : public Ticker {
    Q_OBJECT

public:
    explicit IntervalTicker(QObject* parent = nullptr);

    void setEnabled(bool enabled) override;
    bool isEnabled() const override;

private:
    QTimer* timer_;
};

} // namespace quillarbor
