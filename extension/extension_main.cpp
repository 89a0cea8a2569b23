#include "extension/extension_main.h"

#include "extension/query_explaining.h"
#include "extension/query_stream.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <iostream>
#include <map>
#include <mutex>

#include <nlohmann/json.hpp>

#include "platform/bundle.h"
#include "platform/command_line.h"
#include "platform/network_deferral.h"
#include "platform/one_line_text.h"
#include "platform/status.h"
#include "platform/system_log.h"

namespace quell {

namespace {

using Json = nlohmann::json;

std::map<std::string, PrincipalClassFactory>& registry() {
  static std::map<std::string, PrincipalClassFactory> classes;
  return classes;
}

struct ExtensionInfo {
  std::string principalClass;
  NetworkServiceConfiguration network;
};

// What keeps the extension from starting.
enum class ConfigurationError {
  kUnreadable,        // the configuration file cannot be read
  kNoPrincipalClass,  // it is not JSON, or names no principal class
};

Result<ExtensionInfo, ConfigurationError> readExtensionInfo() {
  std::filesystem::path path;
  if (const char* override = std::getenv("QUELL_EXTENSION_INFO"); override && *override) {
    path = override;
  } else {
    path = Bundle::main().resourcePath() / "Info.json";
  }
  std::ifstream in(path);
  if (!in) return {ConfigurationError::kUnreadable, "cannot read the extension configuration " + path.string()};
  Json info = Json::parse(in, nullptr, false);
  const Json* extension = nullptr;
  if (info.is_object() && info.contains("NSExtension") && info["NSExtension"].is_object())
    extension = &info["NSExtension"];
  if (!extension || !extension->contains("NSExtensionPrincipalClass") ||
      !(*extension)["NSExtensionPrincipalClass"].is_string())
    return {ConfigurationError::kNoPrincipalClass,
            "the extension configuration " + path.string() + " names no principal class"};
  ExtensionInfo result;
  result.principalClass = (*extension)["NSExtensionPrincipalClass"].get<std::string>();
  Json attributes = extension->value("NSExtensionAttributes", Json::object());
  if (!attributes.is_object()) attributes = Json::object();
  if (auto url = attributes.find("ILMessageFilterExtensionNetworkURL"); url != attributes.end() && url->is_string())
    result.network.url = url->get<std::string>();
  if (auto ca = attributes.find("QuellNetworkCAFile");
      ca != attributes.end() && ca->is_string() && !ca->get<std::string>().empty()) {
    std::filesystem::path caPath = ca->get<std::string>();
    result.network.caFile = caPath.is_absolute() ? caPath : path.parent_path() / caPath;
  }
  if (auto timeout = attributes.find("QuellNetworkTimeoutMs");
      timeout != attributes.end() && timeout->is_number_unsigned())
    result.network.timeout = std::chrono::milliseconds(timeout->get<std::uint32_t>());
  return result;
}

const CommandLine kCommandLine(
    "quellguard",
    "usage: quellguard                                judge queries read as JSON Lines from standard input\n"
    "       quellguard [--sender S] [--body B]            judge one message and print the action\n"
    "       quellguard --explain [--sender S] [--body B]  print every stage tried, why it decided, and the action\n"
    "       quellguard --table                            judge JSON Lines queries offline and print a table for a person\n"
    "       quellguard --dbus                             serve the filter on the session bus\n");

// Writes whole lines to standard output, one at a time, flushed, from any thread.
class AnswerWriter {
 public:
  void write(std::string line) {
    line.push_back('\n');
    std::lock_guard lock(mu_);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
  }

 private:
  std::mutex mu_;
};

// Wraps a completion so that it takes effect once, whatever the handler does.
ILMessageFilterQueryCompletion once(std::function<void(ILMessageFilterQueryResponse)> answer) {
  auto done = std::make_shared<std::atomic<bool>>(false);
  return [done, answer = std::move(answer)](ILMessageFilterQueryResponse response) {
    if (!done->exchange(true)) answer(response);
  };
}

int serveStream(ILMessageFilterQueryHandling& handler, NetworkDeferral& deferral, AnswerWriter& out) {
  QueryLineReader reader(STDIN_FILENO);
  std::string line;
  for (;;) {
    auto status = reader.next(&line);
    if (status == QueryLineReader::Status::kEnd) break;
    if (status == QueryLineReader::Status::kTooLong) {
      out.write(formatErrorLine(QueryId{}, "the line is longer than " + std::to_string(kMaxQueryLineBytes) + " bytes"));
      continue;
    }
    if (line.find_first_not_of(" \t") == std::string::npos) continue;  // blank lines carry no query
    auto parsed = parseQueryLine(line);
    if (auto* error = std::get_if<QueryLineError>(&parsed)) {
      out.write(formatErrorLine(error->id, error->message));
      continue;
    }
    auto& query = std::get<QueryLine>(parsed);
    NetworkDeferralContext context(deferral, query.request);
    auto* explaining = query.explain ? dynamic_cast<QueryExplaining*>(&handler) : nullptr;
    if (query.explain && !explaining) {
      out.write(formatErrorLine(query.id, "this filter cannot explain its answers"));
      continue;
    }
    if (!explaining) {
      handler.handleQueryRequest(query.request, context,
                                 once([&out, id = query.id](ILMessageFilterQueryResponse response) {
                                   out.write(formatAnswerLine(id, response.action));
                                 }));
      continue;
    }
    // The explanation comes before the completion, which may run later on another thread.
    auto explanation = std::make_shared<QueryExplanation>();
    explaining->handleExplainedQueryRequest(
        query.request, context, once([&out, id = query.id, explanation](ILMessageFilterQueryResponse response) {
          out.write(formatAnswerLine(id, response.action, explanation->members));
        }),
        [explanation](QueryExplanation explained) { *explanation = std::move(explained); });
  }
  return 0;
}

// Prints the reasons for the offline answer to one message; nothing is sent to the network.
int explainOnce(ILMessageFilterQueryHandling& handler, const ILMessageFilterQueryRequest& request) {
  auto* explaining = dynamic_cast<QueryExplaining*>(&handler);
  if (!explaining) return kCommandLine.fail("this filter cannot explain its answers");
  std::fputs(explaining->explainQuery(request).text.c_str(), stdout);
  return 0;
}

// One row per query line of standard input, for a person: the offline verdict and the stage that decided
// it. Nothing is sent to the network.
int printTable(ILMessageFilterQueryHandling& handler) {
  auto* explaining = dynamic_cast<QueryExplaining*>(&handler);
  if (!explaining) return kCommandLine.fail("this filter cannot explain its answers");
  std::printf("%s %s %s %s %s\n", terminalCell("id", 4).c_str(), terminalCell("sender", 18).c_str(),
              terminalCell("message", 34).c_str(), terminalCell("verdict", 7).c_str(), "stage");
  QueryLineReader reader(STDIN_FILENO);
  std::string line;
  for (QueryLineReader::Status status; (status = reader.next(&line)) != QueryLineReader::Status::kEnd;) {
    if (status == QueryLineReader::Status::kTooLong) {
      std::printf("%s %s\n", terminalCell("-", 4).c_str(), "(a line too long to be a query)");
      continue;
    }
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    auto parsed = parseQueryLine(line);
    if (auto* error = std::get_if<QueryLineError>(&parsed)) {
      std::printf("%s %s\n", terminalCell(error->id.json, 4).c_str(), oneLineText("(" + error->message + ")").c_str());
      continue;
    }
    const auto& query = std::get<QueryLine>(parsed);
    const QueryExplanation explanation = explaining->explainQuery(query.request);
    const auto& stage = explanation.members.value("stage", std::string());
    std::printf("%s %s %s %s %s\n", terminalCell(query.id.json, 4).c_str(),
                terminalCell(query.request.sender.value_or("(none)"), 18).c_str(),
                terminalCell(query.request.messageBody.value_or("(none)"), 34).c_str(),
                terminalCell(actionName(explanation.offlineAction), 7).c_str(), oneLineText(stage).c_str());
  }
  return 0;
}

int answerOnce(ILMessageFilterQueryHandling& handler, NetworkDeferral& deferral,
               const ILMessageFilterQueryRequest& request) {
  std::promise<ILMessageFilterAction> answered;
  auto result = answered.get_future();
  NetworkDeferralContext context(deferral, request);
  handler.handleQueryRequest(request, context, once([&answered](ILMessageFilterQueryResponse response) {
                               answered.set_value(response.action);
                             }));
  std::printf("%s\n", actionName(result.get()));
  return 0;
}

}  // namespace

void registerPrincipalClass(const std::string& name, PrincipalClassFactory factory) {
  registry()[name] = std::move(factory);
}

int NSExtensionMain(int argc, char** argv) {
  if (auto exit = kCommandLine.standardOption(argc, argv)) return kCommandLine.finish(*exit);
  std::optional<ILMessageFilterQueryRequest> single;
  bool explain = false, table = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--explain") {
      explain = true;
    } else if (arg == "--table" && argc == 2) {
      table = true;
    } else if ((arg == "--sender" || arg == "--body") && i + 1 < argc) {
      if (!single) single.emplace();
      (arg == "--sender" ? single->sender : single->messageBody) = argv[++i];
    } else {
      return kCommandLine.usageError("unknown option or missing value: \"" + oneLineText(arg) + "\"");
    }
  }

  auto info = readExtensionInfo();
  if (!info) return kCommandLine.fail(info.message());
  auto factory = registry().find(info->principalClass);
  if (factory == registry().end())
    return kCommandLine.fail("unknown principal class \"" + oneLineText(info->principalClass) + "\"");
  auto handler = factory->second();
  if (explain) return kCommandLine.finish(explainOnce(*handler, single.value_or(ILMessageFilterQueryRequest{})));
  if (table) return kCommandLine.finish(printTable(*handler));
  AnswerWriter out;
  // Declared last so that it is destroyed first: its destructor waits for every deferred query, whose
  // completions still write answers.
  NetworkDeferral deferral(info->network);
  if (single) return kCommandLine.finish(answerOnce(*handler, deferral, *single));
  // Said once here rather than for every message that is not junk.
  if (info->network.url.empty())
    NSLog("No network service is configured: messages that are not junk are answered none without one");
  return serveStream(*handler, deferral, out);
}

}  // namespace quell
