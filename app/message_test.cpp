#include "app/message_test.h"

#include <QStringList>

#include "engine/filter_decision.h"

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
  const FilterDecision decision = decideMessage(std::nullopt, text, kMessageTestStages, {nullptr, nullptr, 0});
  switch (decision.stage) {
    case FilterStage::kKeywordWhitelist: return {"这是 正常短信 不过滤\n白名单：" + entryList(decision.matched), "ham"};
    case FilterStage::kKeywordBlacklist: return {"这是 垃圾短信 过滤\n黑名单：" + entryList(decision.matched), "spam"};
    default:
      if (decision.action == FilterAction::kJunk) return {"这是 垃圾短信 过滤", "spam"};
      return {"这是 正常短信 不过滤", "ham"};
  }
}

}  // namespace quell
