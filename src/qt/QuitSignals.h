#pragma once

#include <QObject>

namespace quillarbor {

// The requests to end that the system sends a program (SIGTERM at logout or shutdown, SIGHUP
// when its terminal goes, SIGINT from Ctrl+C), turned into a signal of the event loop: the
// handler itself may do nothing but note them. Only one object may exist at a time.
class QuitSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

signals:
    // Once per arrival, from the event loop.
    void received();
};

} // namespace quillarbor
