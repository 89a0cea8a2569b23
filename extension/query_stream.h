// The query stream: how the SMS service hands queries to the filter process and takes its answers.
//
// One JSON object per line in each direction (JSON Lines, UTF-8):
//   query:  {"id": <string or number>, "sender": <string, null or absent>, "messageBody": <same>,
//            "explain": <true, false, null or absent>}
//   answer: {"id": <the query's id>, "action": "none" | "allow" | "junk" | "promotion" | "transaction"}
//           and, for a query with "explain": true, the members of the handler's explanation after those
//   error:  {"id": <the query's id, or null when it could not be read>, "error": "<what was wrong>"}
// Every query line gets exactly one answer or error line. Answers may come out of order.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json.hpp>

#include "platform/message_filter.h"

namespace quell {

// Lines longer than this are refused without being parsed.
inline constexpr std::size_t kMaxQueryLineBytes = 1 << 20;

// A query's id as JSON text, echoed in its answer: a number exactly as it was written (so
// 18446744073709551617 or 1.50 comes back unchanged), a string as an equal JSON string, or null when the
// line held no usable id.
struct QueryId {
  std::string json = "null";
};

struct QueryLine {
  QueryId id;
  ILMessageFilterQueryRequest request;
  bool explain = false;  // the query asks for the reasons of its answer
};

struct QueryLineError {
  QueryId id;
  std::string message;
};

// Parses one line (without its line end). Never throws.
std::variant<QueryLine, QueryLineError> parseQueryLine(std::string_view line);

std::string formatAnswerLine(const QueryId& id, ILMessageFilterAction action);
// The answer line with further members after "action" (members must be a JSON object; a member named "id"
// or "action" is left out, so that the answer's own cannot be overridden).
std::string formatAnswerLine(const QueryId& id, ILMessageFilterAction action, const nlohmann::ordered_json& members);
std::string formatErrorLine(const QueryId& id, std::string_view message);

// Reads lines from a file descriptor, refusing overlong ones without holding them in memory.
class QueryLineReader {
 public:
  enum class Status { kLine, kTooLong, kEnd };

  explicit QueryLineReader(int fd, std::size_t maxBytes = kMaxQueryLineBytes) : fd_(fd), max_(maxBytes) {}

  // The next line in *line (kLine); kTooLong when a line exceeded the limit (its bytes are skipped up to
  // and including its line end); kEnd at end of input or on a read error.
  Status next(std::string* line);

 private:
  bool fill();

  int fd_;
  std::size_t max_;
  std::string buffer_;
  std::size_t pos_ = 0;
  bool eof_ = false;
};

}  // namespace quell
