// QBAddController: the editor of one rule list. It shows the list under a header that explains it, adds an
// entry through a prompt ("添加"), deletes one by swiping its row, and writes the whole list to the shared
// store after every change, so the filter uses it for the next message; a change whose write fails is not
// made (the table stays as stored) and the error HUD says so. "完成" closes it. Without a store, changes
// stay on screen only. A list whose stored data cannot be read is shown empty and cannot be changed:
// "添加" says so instead of prompting, and nothing is written over it.
#pragma once

#include <string>
#include <vector>

#include "engine/rule_store.h"
#include "platform/ui/view_controller.h"

namespace quell {

class UITableView;

// What the editor of one list says about it.
struct RuleEditorTexts {
  const char* navigationTitle;
  const char* title;
  const char* detail;
};
const RuleEditorTexts& ruleEditorTexts(RuleListKind kind);

class QBAddController : public UIViewController {
  Q_OBJECT

 public:
  explicit QBAddController(RuleListKind kind, QWidget* parent = nullptr);

  RuleListKind ruleListKind() const { return kind_; }

 protected:
  void viewDidLoad() override;
  void resizeEvent(QResizeEvent* event) override;

 private slots:
  void done();
  void promptForEntry();
  // What "添加" in the prompt does with the typed text.
  void addEntry(const QString& text);
  void deleteEntry(int row);

 private:
  QWidget* makeHeader();
  // Writes entries as the whole list; false when the list could not be written (busy or failing store, or
  // a list that cannot be read), and then nothing changed.
  bool save(const std::vector<std::string>& entries);

  const RuleListKind kind_;
  UITableView* tableView_ = nullptr;
  std::vector<std::string> entries_;
  bool storeOpen_;
  bool listUnreadable_ = false;  // the store holds data for this list that cannot be read
};

}  // namespace quell
