#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

// Qt decides once, as it starts, whether a screen reader is listening; a screen reader started
// later (Orca is often started with a key after log-in, or again after a crash) would never hear
// the program. This follows the accessibility status on the session bus and, when a screen
// reader turns it on, has Qt connect to the accessibility bus then. Costs one signal match,
// made once the window is on screen.
class ScreenReaderLink : public QObject {
    Q_OBJECT

public:
    explicit ScreenReaderLink(QObject* parent = nullptr);

private slots:
    void StatusChanged(const QString& interface, const QVariantMap& changed,
                       const QStringList& invalidated);
};
