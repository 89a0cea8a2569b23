#include "app/rule_store_problem.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "engine/rule_store.h"
#include "platform/user_defaults.h"

namespace quell {

namespace {

QString shown(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// The first thing on the way to the store file that stands in its way.
QString whyNotOpened(const std::filesystem::path& file) {
  std::error_code error;
  if (std::filesystem::exists(file, error)) return "存储文件 " + shown(file) + " 已损坏或无法读写";
  std::filesystem::path folder = file.parent_path();
  while (!folder.empty() && !std::filesystem::exists(folder, error) && folder != folder.root_path())
    folder = folder.parent_path();
  if (!std::filesystem::is_directory(folder, error)) return shown(folder) + " 不是文件夹，无法在其中创建存储文件";
  if (::access(folder.c_str(), W_OK) != 0) return "没有在 " + shown(folder) + " 中写入的权限";
  return "无法创建存储文件 " + shown(file);
}

}  // namespace

std::optional<QString> ruleStoreProblem() {
  auto probe = RuleStore::readStoredList(RuleListKind::NumberWhitelist);
  if (probe.code() != StoreError::kCannotOpen) return std::nullopt;
  return "规则名单无法保存：" + whyNotOpened(UserDefaults::pathForDomain(AppGroupIdentifier)) + "。";
}

}  // namespace quell
