// How the junk page words an entry of the junk log for a person: when it came, which stage held it back,
// and why, built from the decision's reasons that the bridge recorded (the same reasons --explain gives).
// Every text is plain text: a sender or body is never interpreted as markup.
#pragma once

#include <QDateTime>
#include <QString>

#include "modembridge/junk_log.h"

namespace quell {

// When the message came, in local time: when the modem received it, or, when the modem did not say or
// said something that is no time, when it was recorded. Invalid only when neither is a time.
QDateTime junkReceivedTime(const JunkEntry& entry);

// The time as the list shows it: today's as "14:32", this year's as "12月5日", older as "2025年12月5日".
QString junkListTime(const QDateTime& time, const QDateTime& now);
// The whole time, as one message shows it: "2026年12月7日 14:32".
QString junkFullTime(const QDateTime& time);

// The stage that held the message back, in a word: "号码黑名单", "关键词黑名单 "退订" "TD"", "智能模型";
// empty when the reasons name no stage.
QString junkStageText(const nlohmann::ordered_json& reasons);

// Why, in sentences: the matched entries of the deciding list, or the model's score against its threshold
// and the words that weighed most for and against junk.
QString junkReasonText(const nlohmann::ordered_json& reasons);

// The start of a body (or a sender) as one paragraph for a list row: line breaks, tabs and other control
// characters as spaces.
QString junkPreviewText(const std::string& body);

}  // namespace quell
