#include "app/window_system_check.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace quell {

namespace {

QString environment(const char* name) { return qEnvironmentVariable(name); }

// The platforms Qt will try, in order, as QGuiApplication chooses them.
QStringList candidatePlatforms(int argc, char** argv) {
  QString chosen;
  for (int i = 1; i + 1 < argc; ++i)
    if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0) chosen = argv[i + 1];
  if (chosen.isEmpty()) chosen = environment("QT_QPA_PLATFORM");
  if (chosen.isEmpty()) {
    // Qt 6.4 picks xcb unless the session is Wayland; it stays on xcb under GNOME.
    const bool gnome = environment("XDG_CURRENT_DESKTOP").contains("gnome", Qt::CaseInsensitive) ||
                       environment("XDG_SESSION_DESKTOP").contains("gnome", Qt::CaseInsensitive);
    chosen = environment("XDG_SESSION_TYPE") == "wayland" && !gnome ? "wayland" : "xcb";
  }
  return chosen.split(';', Qt::SkipEmptyParts);
}

// The keys of every platform plugin installed where Qt looks for them.
QStringList installedPlatforms() {
  QStringList folders;
  if (!environment("QT_QPA_PLATFORM_PLUGIN_PATH").isEmpty()) folders << environment("QT_QPA_PLATFORM_PLUGIN_PATH");
  for (const QString& path : QCoreApplication::libraryPaths()) folders << path + "/platforms";
  QStringList keys;
  for (const QString& folder : folders) {
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
      // Reads the plugin's metadata without loading it.
      const QJsonObject metaData = QPluginLoader(file.absoluteFilePath()).metaData().value("MetaData").toObject();
      for (const auto& key : metaData.value("Keys").toArray()) keys << key.toString().toLower();
    }
  }
  return keys;
}

bool isWayland(const QString& platform) { return platform.startsWith("wayland"); }

bool waylandSocketExists() {
  const QString display = environment("WAYLAND_DISPLAY").isEmpty() ? "wayland-0" : environment("WAYLAND_DISPLAY");
  if (QDir::isAbsolutePath(display)) return QFileInfo::exists(display);
  const QString runtime = environment("XDG_RUNTIME_DIR");
  return !runtime.isEmpty() && QFileInfo::exists(runtime + "/" + display);
}

// Why this platform cannot start here; empty when nothing is missing that can be seen before trying.
QString problemWith(const QString& platform, const QStringList& installed) {
  if (!installed.contains(platform.toLower())) {
    if (isWayland(platform))
      return QString("the Qt platform plugin \"%1\" is not installed: install qt6-wayland").arg(platform);
    if (platform == "xcb")
      return "the Qt platform plugin \"xcb\" is not installed: install libqt6gui6, or run in a Wayland session "
             "with qt6-wayland";
    return QString("the Qt platform plugin \"%1\" is not installed (installed: %2)")
        .arg(platform, installed.join(", "));
  }
  if (platform == "xcb" && environment("DISPLAY").isEmpty()) {
    if (waylandSocketExists())
      return QString(
                 "no X display (DISPLAY is not set) in this Wayland session: run quellbox with "
                 "QT_QPA_PLATFORM=wayland%1")
          .arg(installed.contains("wayland") ? "" : ", after installing qt6-wayland");
    return "no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set): start quellbox in a "
           "desktop session (over ssh: ssh -X)";
  }
  if (isWayland(platform) && !waylandSocketExists())
    return "no Wayland compositor to open a window on (no socket for WAYLAND_DISPLAY under XDG_RUNTIME_DIR): start "
           "quellbox in a desktop session";
  return {};
}

// The platform start's messages, held back while the guard is on.
struct HeldMessage {
  QtMsgType type;
  QString text;
  QByteArray file, function, category;
};
std::vector<HeldMessage> held;
QtMessageHandler previousHandler = nullptr;

void guardHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg) {
    held.push_back({type, text, context.file, context.function, context.category});
    return;
  }
  // Qt's reason: the first line it wrote about the platform, else the first line of the fatal message.
  QString reason = text.section('\n', 0, 0);
  for (const HeldMessage& message : held)
    if ((message.type == QtWarningMsg || message.type == QtCriticalMsg) && !message.text.isEmpty()) {
      reason = message.text.section('\n', 0, 0);
      break;
    }
  std::fprintf(stderr,
               "quellbox: the window system could not start (%s): check that the display is running, or install "
               "the Qt platform plugin it needs (qt6-wayland for Wayland)\n",
               qPrintable(reason));
  std::fflush(stderr);
  std::_Exit(1);
}

}  // namespace

std::optional<std::string> missingWindowSystem(int argc, char** argv) {
  const QStringList installed = installedPlatforms();
  QString first;
  for (const QString& platform : candidatePlatforms(argc, argv)) {
    const QString problem = problemWith(platform, installed);
    if (problem.isEmpty()) return std::nullopt;
    if (first.isEmpty()) first = problem;
  }
  return "quellbox: " + first.toStdString();
}

void beginPlatformStartGuard() {
  held.clear();
  previousHandler = qInstallMessageHandler(guardHandler);
}

void endPlatformStartGuard() {
  qInstallMessageHandler(previousHandler);
  for (const HeldMessage& message : held) {
    QMessageLogContext context(message.file.isEmpty() ? nullptr : message.file.constData(), 0,
                               message.function.isEmpty() ? nullptr : message.function.constData(),
                               message.category.isEmpty() ? nullptr : message.category.constData());
    qt_message_output(message.type, context, message.text);
  }
  held.clear();
}

}  // namespace quell
