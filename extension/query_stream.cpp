#include "extension/query_stream.h"

#include <unistd.h>

#include <cerrno>

#include <nlohmann/json.hpp>

namespace quell {

namespace {

using Json = nlohmann::json;

// One top-level member of a query as the parser met it.
struct Member {
  enum class Kind { kAbsent, kNull, kString, kNumber, kBoolean, kOther };
  Kind kind = Kind::kAbsent;
  std::string text;  // a string's value, or a number's JSON text
};

// Reads a query line event by event, keeping only the four members a query has, so that a number keeps
// the exact text it was written with and no tree is built for members nobody reads. A later member of
// the same name replaces an earlier one.
class QueryReader : public nlohmann::json_sax<Json> {
 public:
  bool topLevelIsObject = false;
  Member id, sender, messageBody, explain;

  bool null() override { return scalar(Member::Kind::kNull, {}); }
  bool boolean(bool value) override { return scalar(Member::Kind::kBoolean, value ? "true" : "false"); }
  bool number_integer(number_integer_t value) override { return scalar(Member::Kind::kNumber, std::to_string(value)); }
  bool number_unsigned(number_unsigned_t value) override {
    return scalar(Member::Kind::kNumber, std::to_string(value));
  }
  bool number_float(number_float_t, const string_t& text) override { return scalar(Member::Kind::kNumber, text); }
  bool string(string_t& value) override { return scalar(Member::Kind::kString, std::move(value)); }
  bool binary(binary_t&) override { return scalar(Member::Kind::kOther, {}); }
  bool start_object(std::size_t) override { return open(true); }
  bool start_array(std::size_t) override { return open(false); }
  bool end_object() override { return close(); }
  bool end_array() override { return close(); }
  bool key(string_t& name) override {
    if (depth_ == 1) current_ = memberNamed(name);
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

 private:
  Member* memberNamed(const std::string& name) {
    if (name == "id") return &id;
    if (name == "sender") return &sender;
    if (name == "messageBody") return &messageBody;
    if (name == "explain") return &explain;
    return nullptr;
  }
  bool scalar(Member::Kind kind, std::string text) {
    if (depth_ == 1 && current_) *current_ = Member{kind, std::move(text)};
    return true;
  }
  bool open(bool object) {
    if (depth_ == 0) topLevelIsObject = object;
    if (depth_ == 1 && current_) *current_ = Member{Member::Kind::kOther, {}};
    ++depth_;
    return true;
  }
  bool close() {
    --depth_;
    return true;
  }

  int depth_ = 0;
  Member* current_ = nullptr;
};

std::string jsonString(std::string_view s) {
  // The line was validated as UTF-8 by the parser; replace guards the one-shot path, which takes raw argv.
  return Json(s).dump(-1, ' ', false, Json::error_handler_t::replace);
}

// Reads member `name` as an optional string; false when it is present with another type.
bool readOptionalString(Member& member, std::optional<std::string>* out) {
  if (member.kind == Member::Kind::kAbsent || member.kind == Member::Kind::kNull) return true;
  if (member.kind != Member::Kind::kString) return false;
  *out = std::move(member.text);
  return true;
}

}  // namespace

std::variant<QueryLine, QueryLineError> parseQueryLine(std::string_view line) {
  QueryReader reader;
  if (!Json::sax_parse(line, &reader, Json::input_format_t::json, /*strict=*/true))
    return QueryLineError{{}, "the line is not valid JSON in UTF-8"};
  if (!reader.topLevelIsObject) return QueryLineError{{}, "the line is not a JSON object"};
  QueryLine query;
  if (reader.id.kind == Member::Kind::kString) {
    query.id.json = jsonString(reader.id.text);
  } else if (reader.id.kind == Member::Kind::kNumber) {
    query.id.json = reader.id.text;
  } else {
    return QueryLineError{{}, "\"id\" must be a string or a number"};
  }
  if (!readOptionalString(reader.sender, &query.request.sender))
    return QueryLineError{query.id, "\"sender\" must be a string, null or absent"};
  if (!readOptionalString(reader.messageBody, &query.request.messageBody))
    return QueryLineError{query.id, "\"messageBody\" must be a string, null or absent"};
  if (reader.explain.kind == Member::Kind::kBoolean) {
    query.explain = reader.explain.text == "true";
  } else if (reader.explain.kind != Member::Kind::kAbsent && reader.explain.kind != Member::Kind::kNull) {
    return QueryLineError{query.id, "\"explain\" must be true, false, null or absent"};
  }
  return query;
}

std::string formatAnswerLine(const QueryId& id, ILMessageFilterAction action) {
  return "{\"id\":" + id.json + ",\"action\":\"" + actionName(action) + "\"}";
}

std::string formatAnswerLine(const QueryId& id, ILMessageFilterAction action, const nlohmann::ordered_json& members) {
  std::string line = formatAnswerLine(id, action);
  if (!members.is_object()) return line;
  line.pop_back();  // the closing brace
  for (const auto& [name, value] : members.items()) {
    if (name == "id" || name == "action") continue;
    line += "," + jsonString(name) + ":" + value.dump(-1, ' ', false, Json::error_handler_t::replace);
  }
  return line + "}";
}

std::string formatErrorLine(const QueryId& id, std::string_view message) {
  return "{\"id\":" + id.json + ",\"error\":" + jsonString(message) + "}";
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
