// UIAlertController: a small card over a dimmed screen with a title, an optional message, an optional text
// field and buttons. With two buttons they sit side by side, the cancel one on the left; with more, they
// are stacked with the cancel one last. Cancel is bold, destructive red. A tap closes the alert, then runs
// the button's handler; Escape does what the cancel button does, when there is one, and Return in the text
// field what the first default-style button does. The card never grows past the window: a long message
// scrolls inside it (by the wheel, a drag or a finger), and the buttons stay in view. Texts are shown as
// plain text, line breaks kept. Present it with presentViewController (it appears in place).
#pragma once

#include <QLineEdit>
#include <QString>
#include <functional>
#include <vector>

#include "platform/ui/view_controller.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace quell {

class UIAlertController : public UIViewController {
  Q_OBJECT

 public:
  enum class ActionStyle { kDefault, kCancel, kDestructive };

  UIAlertController(const QString& title, const QString& message, QWidget* parent = nullptr);

  void addAction(const QString& title, ActionStyle style, std::function<void()> handler = nullptr);
  // Adds the one text field; configure it through the returned pointer.
  QLineEdit* addTextField();
  QLineEdit* textField() const { return field_; }

  QString alertTitle() const { return alertTitle_; }
  QString message() const { return message_; }
  // The buttons in the order shown.
  std::vector<QPushButton*> actionButtons() const;

 protected:
  void viewDidLoad() override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Action {
    QString title;
    ActionStyle style;
    std::function<void()> handler;
    QPushButton* button = nullptr;
  };
  void layoutCard();

  QString alertTitle_, message_;
  std::vector<Action> actions_;
  QLineEdit* field_ = nullptr;
  QWidget* card_ = nullptr;
  QLabel* titleLabel_ = nullptr;
  QScrollArea* messageArea_ = nullptr;
};

}  // namespace quell
