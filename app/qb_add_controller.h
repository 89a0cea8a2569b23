// QBAddController: the editor of one rule list. It shows the list under a header that explains it, adds an
// entry through a prompt ("添加"), deletes one by swiping its row, and writes the whole list to the shared
// store after every change, so the filter uses it for the next message; a change whose write fails is not
// made (the table stays as stored) and the error HUD says so. "完成" closes it. Without a store
// (or without a known key) changes stay on screen only. A list whose stored data cannot be read is shown
// empty and cannot be changed: "添加" says so instead of prompting, and nothing is written over it.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "platform/ui/table_view.h"
#include "platform/ui/view_controller.h"

namespace quell {

struct RuleEditorConfiguration {
  const char* userDefaultKey;
  const char* navigationTitle;
  const char* titleLabelText;
  const char* detailLabelText;
};

// The editors of the rules panel's four tiles, in tile order.
const RuleEditorConfiguration& ruleEditorConfiguration(int index);

class QBAddController : public UIViewController {
  Q_OBJECT

 public:
  explicit QBAddController(QWidget* parent = nullptr);
  void configure(const RuleEditorConfiguration& configuration);

  UITableView* tableView = nullptr;
  std::vector<std::string> dataSourceArray;
  std::optional<QString> navigationTitle, titleLabelText, detailLabelText;
  std::optional<QString> userDefaultKey;

  void leftBarButtonItemAction();
  void rightBarButtonItemAction();
  // What "添加" in the prompt does with the typed text.
  void addEntry(const QString& text);
  void commitDelete(int row);

 protected:
  void viewDidLoad() override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* makeHeader();
  // Writes entries as the whole list; false when the list could not be written (busy or failing store, or
  // a list that cannot be read), and then nothing changed.
  bool save(const std::vector<std::string>& entries);

  bool storeOpen_;
  bool listUnreadable_ = false;  // the store holds data for this list that cannot be read
};

}  // namespace quell
