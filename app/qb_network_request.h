// QBNetworkRequest: sends one missed-spam report to the backend, and tells the user how it went.
//
// The report is POSTed as compact JSON to <backend>/classes/spam with the backend's application id and
// REST key headers. The HUD shows that it is under way at once ("正在提交"), and the transfer gives up
// after 15 seconds without an answer. Only a 2xx answer means the backend stored it ("感谢"); any other
// status, a transfer that fails (no network, timeout, TLS) and a backend URL that is not https (nothing is
// sent then) show "提交失败", for long enough to read. Each outcome also writes one console line. Nothing
// is retried or kept.
//
// The backend is configuration: the build's default (the QUELL_REPORT_URL CMake option), or the
// QUELL_REPORT_URL environment variable (e.g. https://127.0.0.1:8443 for a local quellreportd); with
// QUELL_REPORT_CA_FILE, the certificates in that PEM file are trusted too (for a self-signed backend).
#pragma once

#include <QString>
#include <QUrl>
#include <map>
#include <string>

namespace quell {

inline constexpr const char* kApplicationIdHeader = "X-Bmob-Application-Id";
inline constexpr const char* kApplicationId = "7d3f9a0c2e5b48e1a6c0f4b29d8e1c53";
inline constexpr const char* kRestKeyHeader = "X-Bmob-REST-API-Key";
inline constexpr const char* kRestKey = "b2e8c4a1f07d6395e1a4c8b0d3f92a6e";
inline constexpr int kReportTimeoutMs = 15000;
inline constexpr int kReportHudMs = 2000;

// The endpoint reports go to.
QUrl reportEndpoint();

class QBNetworkRequest {
 public:
  // Starts the transfer and returns at once; the transfer outlives this object.
  void sendRequest(const std::map<std::string, std::string>& report);
};

// Shows text in the shared HUD for kReportHudMs.
void showTextHUD(const QString& text);

// Builds the report of a tested message (the normalised text, the user's and the app's label, the
// system version, this device's identifier for the maker when there is one, the app's version) and sends
// it.
void reportMessage(const std::string& text, const std::string& userLabel, const std::string& appLabel);

}  // namespace quell
