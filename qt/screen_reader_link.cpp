#include "screen_reader_link.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QMetaObject>
#include <QTimer>

#if __has_include(<QtGui/private/qspiaccessiblebridge_p.h>)
#include <QtCore/private/qobject_p_p.h>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/private/qspiaccessiblebridge_p.h>
#include <qpa/qplatformintegration.h>
#define AMBRELITH_AT_SPI
#endif

namespace {

const QString Bus = QStringLiteral("org.a11y.Bus");
const QString Path = QStringLiteral("/org/a11y/bus");

// Qt's watcher of the accessibility bus: the object whose enabledChanged signal turns Qt's AT-SPI
// bridge on and off. Its slot serviceRegistered reads the status afresh and, when a screen
// reader is on, connects to the accessibility bus.
QObject* QtStatusWatcher() {
#ifdef AMBRELITH_AT_SPI
    QPlatformIntegration* integration = QGuiApplicationPrivate::platformIntegration();
    auto* bridge =
        integration ? dynamic_cast<QSpiAccessibleBridge*>(integration->accessibility()) : nullptr;
    if (!bridge)
        return nullptr;
    const QObjectPrivate::ConnectionData* connections =
        QObjectPrivate::get(bridge)->connections.loadRelaxed();
    for (auto* c = connections ? connections->senders : nullptr; c; c = c->next)
        if (c->sender && qstrcmp(c->sender->metaObject()->className(), "DBusConnection") == 0)
            return c->sender;
#endif
    return nullptr;
}

} // namespace

ScreenReaderLink::ScreenReaderLink(QObject* parent)
    : QObject(parent) {
    // After the window has been shown, so that it appears no later for this.
    QTimer::singleShot(0, this, [this] {
        QDBusConnection::sessionBus().connect(
            Bus, Path, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("PropertiesChanged"), this,
            SLOT(StatusChanged(QString, QVariantMap, QStringList)));
    });
}

void ScreenReaderLink::StatusChanged(const QString& interface, const QVariantMap& changed,
                                     const QStringList& /*invalidated*/) {
    const bool on = changed.value(QStringLiteral("IsEnabled")).toBool() ||
                    changed.value(QStringLiteral("ScreenReaderEnabled")).toBool();
    if (interface != QLatin1String("org.a11y.Status") || !on)
        return;
    if (QObject* watcher = QtStatusWatcher())
        QMetaObject::invokeMethod(watcher, "serviceRegistered", Qt::QueuedConnection);
}
