// CommonProblemController: five questions and answers about how the filter behaves, read-only, in their
// own navigation container; "关闭" (or Escape) closes the whole container.
#pragma once

#include <QString>
#include <vector>

#include "platform/ui/table_view.h"
#include "platform/ui/view_controller.h"

namespace quell {

struct FaqEntry {
  QString question;
  QString answer;
};

class CommonProblemController : public UIViewController {
  Q_OBJECT

 public:
  explicit CommonProblemController(QWidget* parent = nullptr);

 protected:
  void viewDidLoad() override;
  void resizeEvent(QResizeEvent* event) override;

 private slots:
  void closeDismiss();

 private:
  UITableView* tableView_ = nullptr;
  std::vector<FaqEntry> entries_;
};

}  // namespace quell
