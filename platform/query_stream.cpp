#include "platform/query_stream.h"

#include <unistd.h>

#include <cerrno>

namespace quell {

namespace {

using Json = nlohmann::json;

bool isUsableId(const Json& id) { return id.is_string() || id.is_number(); }

std::string dumpLine(const nlohmann::ordered_json& object) {
  // Input was validated as UTF-8 by the parser; replace guards the one-shot path, which takes raw argv.
  return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// Reads member `name` as an optional string; false when it is present with another type.
bool readOptionalString(const Json& object, const char* name, std::optional<std::string>* out) {
  auto it = object.find(name);
  if (it == object.end() || it->is_null()) return true;
  if (!it->is_string()) return false;
  *out = it->get<std::string>();
  return true;
}

}  // namespace

std::variant<QueryLine, QueryLineError> parseQueryLine(std::string_view line) {
  Json object = Json::parse(line, nullptr, /*allow_exceptions=*/false);
  if (object.is_discarded()) return QueryLineError{nullptr, "the line is not valid JSON in UTF-8"};
  if (!object.is_object()) return QueryLineError{nullptr, "the line is not a JSON object"};

  auto idIt = object.find("id");
  if (idIt == object.end() || !isUsableId(*idIt))
    return QueryLineError{nullptr, "\"id\" must be a string or a number"};
  QueryLine query{*idIt, {}};
  if (!readOptionalString(object, "sender", &query.request.sender))
    return QueryLineError{query.id, "\"sender\" must be a string, null or absent"};
  if (!readOptionalString(object, "messageBody", &query.request.messageBody))
    return QueryLineError{query.id, "\"messageBody\" must be a string, null or absent"};
  return query;
}

std::string formatAnswerLine(const nlohmann::json& id, ILMessageFilterAction action) {
  return dumpLine(nlohmann::ordered_json{{"id", id}, {"action", actionName(action)}});
}

std::string formatErrorLine(const nlohmann::json& id, std::string_view message) {
  return dumpLine(nlohmann::ordered_json{{"id", id}, {"error", message}});
}

bool QueryLineReader::fill() {
  if (eof_) return false;
  if (pos_ > 0) {
    buffer_.erase(0, pos_);
    pos_ = 0;
  }
  char chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n > 0) {
      buffer_.append(chunk, static_cast<std::size_t>(n));
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    eof_ = true;
    return false;
  }
}

QueryLineReader::Status QueryLineReader::next(std::string* line) {
  bool tooLong = false;
  for (;;) {
    auto newline = buffer_.find('\n', pos_);
    if (newline != std::string::npos) {
      std::size_t length = newline - pos_;
      if (tooLong || length > max_) {
        pos_ = newline + 1;
        return Status::kTooLong;
      }
      line->assign(buffer_, pos_, length);
      if (!line->empty() && line->back() == '\r') line->pop_back();
      pos_ = newline + 1;
      return Status::kLine;
    }
    if (buffer_.size() - pos_ > max_) {
      // Drop what we hold of the overlong line and keep skipping until its end.
      tooLong = true;
      buffer_.clear();
      pos_ = 0;
    }
    if (!fill()) {
      if (tooLong) return Status::kTooLong;
      if (pos_ == buffer_.size()) return Status::kEnd;
      line->assign(buffer_, pos_, std::string::npos);  // last line without a line end
      pos_ = buffer_.size();
      return Status::kLine;
    }
  }
}

}  // namespace quell
