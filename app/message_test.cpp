#include "app/message_test.h"

#include <QStringList>

#include "engine/model/spam_model.h"
#include "engine/rule_matching.h"

namespace quell {

namespace {

// ["a", "b"]: the matched entries in list order.
QString entryList(const std::vector<std::string>& entries) {
  QStringList quoted;
  for (const auto& entry : entries) quoted << "\"" + QString::fromStdString(entry) + "\"";
  return "[" + quoted.join(", ") + "]";
}

}  // namespace

TestVerdict judgeMessage(const std::string& text) {
  if (auto white = matchKeywordList(text, RuleListKind::KeywordWhitelist); white.matched)
    return {"这是 正常短信 不过滤\n白名单：" + entryList(white.entries), "ham"};
  if (auto black = matchKeywordList(text, RuleListKind::KeywordBlacklist); black.matched)
    return {"这是 垃圾短信 过滤\n黑名单：" + entryList(black.entries), "spam"};
  if (isSpamByModel(text)) return {"这是 垃圾短信 过滤", "spam"};
  return {"这是 正常短信 不过滤", "ham"};
}

}  // namespace quell
