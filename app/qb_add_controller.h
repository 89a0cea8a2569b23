// QBAddController: the editor of one rule list. It shows the list under a header that explains it, adds an
// entry through a prompt ("添加"), deletes one by swiping its row (or with Delete on a focused row), and
// stores every change at once in the shared store, so the filter uses it for the next message.
//
// Each change is one edit of the stored list (RuleStore::editList): an addition appends the typed entry,
// trimmed (a blank one is refused, saying so); a deletion removes the entry the user saw, also when the
// stored list changed meanwhile (never a neighbour of it). After each change the table shows the list as
// stored. A change that cannot be stored (the store cannot be opened, is busy or failing) is not made: the
// table stays as stored and the error HUD says so. A list whose stored data cannot be read is shown empty
// and cannot be changed: "添加" says so instead of prompting, and nothing is written over it. "完成" or
// Escape closes the editor.
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
  const char* placeholder;  // in the add prompt's empty field: what an entry of this list is
};
const RuleEditorTexts& ruleEditorTexts(RuleListKind kind);

class QBAddController : public UIViewController {
  Q_OBJECT

 public:
  explicit QBAddController(RuleListKind kind, QWidget* parent = nullptr);

  RuleListKind ruleListKind() const { return kind_; }

  // How long the HUD shows a stored change, and a refusal with its reason.
  static constexpr int kSuccessHudMs = 500, kErrorHudMs = 2000;

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
  // Shows the list as stored now; on a failed edit, says why in the error HUD.
  void showStored(const Result<std::vector<std::string>, StoreError>& stored);

  const RuleListKind kind_;
  UITableView* tableView_ = nullptr;
  std::vector<std::string> entries_;  // the list as last read or stored, as the table shows it
  bool listUnreadable_ = false;       // the store holds data for this list that cannot be read
};

}  // namespace quell
