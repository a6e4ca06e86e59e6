#include "ui/platform.h"

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace pylons {
namespace {

QtMessageHandler previousHandler = nullptr;

// Qt names the integration it did not load, although shared memory is what it was asked for.
void WithoutBufferIntegrationNotes(QtMsgType type, const QMessageLogContext& context,
                                   const QString& message) {
    if (type == QtWarningMsg && QByteArrayView(context.category) == "qt.qpa.wayland" &&
        message.contains(QStringLiteral("client buffer integration"))) {
        return;
    }
    previousHandler(type, context, message);
}

} // namespace

void PrepareDesktopPlatform() {
    if (qEnvironmentVariableIsSet("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION")) {
        return;
    }
    // No integration of that name exists: Qt falls back to plain shared-memory buffers.
    qputenv("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "shm");
    previousHandler = qInstallMessageHandler(WithoutBufferIntegrationNotes);
}

} // namespace pylons
