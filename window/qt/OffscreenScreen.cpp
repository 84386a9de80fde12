#include "window/qt/OffscreenScreen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtGlobal>

namespace ui::qt {

QString OffscreenPlatform(const QString& file, int width, int height, int logicalDpi) {
    const QJsonObject screen{{"name", "Screen"}, {"x", 0},           {"y", 0},
                             {"width", width},   {"height", height}, {"logicalDpi", logicalDpi}};
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(QJsonDocument(QJsonObject{{"screens", QJsonArray{screen}}}).toJson());
    return "offscreen:configfile=" + QFileInfo(file).absoluteFilePath();
}

void ChooseRoomyOffscreenScreen(const QString& folder) {
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen")
        return;
    const QString options = OffscreenPlatform(folder + "/offscreen-screen.json", 3840, 2160, 96);
    qputenv("QT_QPA_PLATFORM", options.toUtf8());
}

}  // namespace ui::qt
