// The report backend's HTTPS service: POST /classes/spam stores one report.
//
//   401  the application id or REST key header is missing or wrong
//   415  the content type is not application/json
//   413  the body is larger than kMaxReportBytes
//   400  the body is not one JSON object of strings with valid "use_rating", "app_rating" and "text"
//   500  the report could not be stored
//   201  stored: {"objectId": "...", "createdAt": "..."}
// Errors answer {"code": <status>, "error": "<what was wrong>"}. A client that stops sending mid-request
// is cut off after the read timeout; the server goes on serving the others.
#pragma once

#include <httplib.h>

#include <memory>
#include <string>

#include "tools/quellreportd/report_store.h"

namespace quell {

inline constexpr const char* kDefaultApplicationId = "7d3f9a0c2e5b48e1a6c0f4b29d8e1c53";
inline constexpr const char* kDefaultRestKey = "b2e8c4a1f07d6395e1a4c8b0d3f92a6e";
inline constexpr std::size_t kMaxReportBytes = 64 * 1024;

struct ReportServerOptions {
  std::string applicationId = kDefaultApplicationId;
  std::string restKey = kDefaultRestKey;
  int readTimeoutSeconds = 5;
  // Connections served at once; one more waits for a free thread. Idle clients each hold one until the
  // read timeout closes them.
  std::size_t threads = 256;
};

// Sets up `server` to serve the report routes into `store` (which must outlive the server).
void configureReportServer(httplib::Server& server, ReportStore& store, const ReportServerOptions& options);

}  // namespace quell
