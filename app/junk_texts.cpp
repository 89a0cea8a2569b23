#include "app/junk_texts.h"

#include <QStringList>
#include <algorithm>

namespace quell {

namespace {

// Entries as typed, each between quotation marks: straight ones for the list's stage ("退订"), the
// full-width ones of a sentence (“退订”), after which a line may break.
QStringList quotedEntries(const nlohmann::ordered_json& entries, bool inSentence) {
  QStringList quoted;
  if (!entries.is_array()) return quoted;
  const QString open = inSentence ? "“" : "\"", close = inSentence ? "”" : "\"";
  for (const auto& entry : entries)
    if (entry.is_string()) quoted << open + QString::fromStdString(entry.get<std::string>()) + close;
  return quoted;
}

// The deciding list's matched entries, quoted.
QStringList matchedEntries(const nlohmann::ordered_json& reasons, bool inSentence) {
  return reasons.is_object() && reasons.contains("matched") ? quotedEntries(reasons["matched"], inSentence)
                                                            : QStringList();
}

std::string stageOf(const nlohmann::ordered_json& reasons) {
  if (!reasons.is_object()) return {};
  const auto stage = reasons.find("stage");
  return stage != reasons.end() && stage->is_string() ? stage->get<std::string>() : std::string();
}

double numberOr(const nlohmann::ordered_json& reasons, const char* name, double fallback) {
  if (!reasons.is_object()) return fallback;
  const auto value = reasons.find(name);
  return value != reasons.end() && value->is_number() ? value->get<double>() : fallback;
}

// The model's top words on one side ("for": a positive weight, towards junk), largest first as recorded.
QStringList modelWords(const nlohmann::ordered_json& reasons, bool towardsJunk) {
  QStringList words;
  const auto found = reasons.find("words");
  if (found == reasons.end() || !found->is_array()) return words;
  for (const auto& word : *found) {
    if (!word.is_object() || !word.contains("word") || !word["word"].is_string()) continue;
    const double weight = numberOr(word, "weight", 0);
    if ((weight > 0) == towardsJunk && weight != 0)
      words << "“" + QString::fromStdString(word["word"].get<std::string>()) + "”";
  }
  return words;
}

}  // namespace

QDateTime junkReceivedTime(const JunkEntry& entry) {
  QDateTime received = QDateTime::fromString(QString::fromStdString(entry.message.received), Qt::ISODate);
  if (!received.isValid()) received = QDateTime::fromString(QString::fromStdString(entry.logged), Qt::ISODate);
  return received.isValid() ? received.toLocalTime() : QDateTime();
}

QString junkListTime(const QDateTime& time, const QDateTime& now) {
  if (!time.isValid()) return {};
  const QDate day = time.date();
  if (day == now.date()) return time.toString("HH:mm");
  if (day.year() == now.date().year()) return QString("%1月%2日").arg(day.month()).arg(day.day());
  return QString("%1年%2月%3日").arg(day.year()).arg(day.month()).arg(day.day());
}

QString junkFullTime(const QDateTime& time) {
  if (!time.isValid()) return "时间不明";
  const QDate day = time.date();
  return QString("%1年%2月%3日 %4").arg(day.year()).arg(day.month()).arg(day.day()).arg(time.toString("HH:mm"));
}

QString junkStageText(const nlohmann::ordered_json& reasons) {
  const std::string stage = stageOf(reasons);
  if (stage == "number-blacklist") return "号码黑名单";
  if (stage == "keyword-blacklist") {
    const QStringList matched = matchedEntries(reasons, false);
    return matched.isEmpty() ? QString("关键词黑名单") : "关键词黑名单 " + matched.join(' ');
  }
  if (stage == "model") return "智能模型";
  return {};
}

QString junkReasonText(const nlohmann::ordered_json& reasons) {
  const std::string stage = stageOf(reasons);
  const QStringList matched = matchedEntries(reasons, true);
  if (stage == "number-blacklist")
    return matched.isEmpty() ? QString("发件人在号码黑名单中。") : "发件人 " + matched.join("、") + " 在号码黑名单中。";
  if (stage == "keyword-blacklist")
    return matched.isEmpty() ? QString("短信含有关键词黑名单中的词。")
                             : "短信含有关键词黑名单中的 " + matched.join("、") + "。";
  if (stage != "model") return "没有记录拦截的原因。";
  const double score = numberOr(reasons, "score", 0), threshold = numberOr(reasons, "threshold", 0);
  QString text =
      QString("智能模型判断这是垃圾短信：得分 %1，高于界限 %2。").arg(score, 0, 'f', 2).arg(threshold, 0, 'f', 2);
  const QStringList forJunk = modelWords(reasons, true), against = modelWords(reasons, false);
  if (!forJunk.isEmpty()) text += "\n最像垃圾短信的词：\n" + forJunk.join("、") + "。";
  if (!against.isEmpty()) text += "\n最像正常短信的词：\n" + against.join("、") + "。";
  return text;
}

QString junkPreviewText(const std::string& body) {
  // Two lines of a row never show more than this; a body of 100 KiB is not laid out for them.
  constexpr std::size_t kPreviewBytes = 1024;
  QString text = QString::fromUtf8(body.data(), static_cast<qsizetype>(std::min(body.size(), kPreviewBytes)));
  for (QChar& c : text)
    if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) c = ' ';
  return text.simplified();
}

}  // namespace quell
