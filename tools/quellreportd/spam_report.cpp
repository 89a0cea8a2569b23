#include "tools/quellreportd/spam_report.h"

#include <nlohmann/json.hpp>

namespace quell {

std::optional<SpamReport> parseSpamReport(std::string_view body, std::string* error) {
  auto json = nlohmann::json::parse(body, nullptr, false);
  if (json.is_discarded()) {
    *error = "the body is not valid JSON in UTF-8";
    return std::nullopt;
  }
  if (!json.is_object()) {
    *error = "the body is not a JSON object";
    return std::nullopt;
  }
  for (const auto& [name, value] : json.items()) {
    if (!value.is_string()) {
      *error = "member \"" + name + "\" is not a string";
      return std::nullopt;
    }
  }
  auto label = [&](const char* name) -> std::optional<std::string> {
    auto it = json.find(name);
    if (it == json.end()) {
      *error = std::string("member \"") + name + "\" is missing";
      return std::nullopt;
    }
    std::string value = it->get<std::string>();
    if (value != "spam" && value != "ham") {
      *error = std::string("member \"") + name + "\" must be \"spam\" or \"ham\"";
      return std::nullopt;
    }
    return value;
  };
  auto optional = [&](const char* name) -> std::optional<std::string> {
    auto it = json.find(name);
    return it == json.end() ? std::nullopt : std::optional<std::string>(it->get<std::string>());
  };
  SpamReport report;
  auto use = label("use_rating");
  if (!use) return std::nullopt;
  auto app = label("app_rating");
  if (!app) return std::nullopt;
  auto text = optional("text");
  if (!text || text->empty()) {
    *error = "member \"text\" is missing or empty";
    return std::nullopt;
  }
  report.useRating = *use;
  report.appRating = *app;
  report.text = *text;
  report.osVersion = optional("os_version");
  report.deviceUuid = optional("device_uuid");
  report.appVersion = optional("app_version");
  return report;
}

}  // namespace quell
