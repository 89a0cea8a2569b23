#include "app/qb_network_request.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "platform/ui/device.h"
#include "platform/ui/hud.h"

namespace quell {

namespace {

QNetworkAccessManager& network() {
  static auto* manager = new QNetworkAccessManager;  // lives as long as the app
  return *manager;
}

void console(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

}  // namespace

QUrl reportEndpoint() {
  QByteArray configured = qgetenv("QUELL_REPORT_URL");
  QString base = configured.isEmpty() ? QStringLiteral(QUELL_DEFAULT_REPORT_URL) : QString::fromUtf8(configured);
  while (base.endsWith('/')) base.chop(1);
  return QUrl(base + "/classes/spam", QUrl::StrictMode);
}

void showTextHUD(const QString& text) {
  PKHUD& hud = PKHUD::sharedHUD();
  hud.setContentView(PKHUD::Content::kText, text);
  hud.setAccessibilityLabel(text);
  hud.show();
  hud.hide(kReportHudMs);
}

void QBNetworkRequest::sendRequest(const std::map<std::string, std::string>& report) {
  QUrl url = reportEndpoint();
  if (!url.isValid() || url.scheme() != "https") {
    // A report goes only over TLS; the user hears that it did not go.
    console("URL Session Task Failed: the report URL " + url.toString().toStdString() + " is not an https URL");
    showTextHUD("提交失败");
    return;
  }

  QNetworkRequest request(url);
  request.setTransferTimeout(kReportTimeoutMs);
  request.setRawHeader(kApplicationIdHeader, kApplicationId);
  request.setRawHeader(kRestKeyHeader, kRestKey);
  request.setRawHeader("Content-Type", "application/json");
  if (QByteArray caFile = qgetenv("QUELL_REPORT_CA_FILE"); !caFile.isEmpty()) {
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.addCaCertificates(QSslCertificate::fromPath(QString::fromLocal8Bit(caFile)));
    request.setSslConfiguration(tls);
  }
  nlohmann::json body(report);
  QByteArray bytes = QByteArray::fromStdString(body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));

  PKHUD& hud = PKHUD::sharedHUD();
  hud.setContentView(PKHUD::Content::kProgress, "正在提交");
  hud.setAccessibilityLabel("正在提交");
  hud.show();  // until the outcome replaces it
  QNetworkReply* reply = network().post(request, bytes);
  QObject::connect(reply, &QNetworkReply::finished, reply, [reply] {
    reply->deleteLater();
    QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int code = status.isValid() ? status.toInt() : 0;
    if (code >= 200 && code < 300) {  // the backend stored the report
      console("URL Session Task Succeeded: HTTP " + std::to_string(code));
      showTextHUD("感谢");
    } else if (status.isValid()) {  // an answer, but a refusal or a failure of the backend
      console("URL Session Task Failed: HTTP " + std::to_string(code));
      showTextHUD("提交失败");
    } else {
      console("URL Session Task Failed: " + reply->errorString().toStdString());
      showTextHUD("提交失败");
    }
  });
}

void reportMessage(const std::string& text, const std::string& userLabel, const std::string& appLabel) {
  std::map<std::string, std::string> report = {{"use_rating", userLabel}, {"app_rating", appLabel}, {"text", text}};
  report["os_version"] = UIDevice::systemVersion().toStdString();
  if (auto uuid = UIDevice::identifierForVendor(QStringLiteral("app.quell")))
    report["device_uuid"] = uuid->toStdString();
  report["app_version"] = QUELL_APP_VERSION;
  QBNetworkRequest().sendRequest(report);
}

}  // namespace quell
