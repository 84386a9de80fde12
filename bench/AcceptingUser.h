// A user who accepts the question the Qt window asks before an update: looks for the open
// message box every few milliseconds and clicks its button with the accept caption, as a person
// would. Stops looking once it has answered.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace bench {

class AcceptingUser : public QObject {
  public:
    // `onAnswer` runs just before the click: the moment the user's wait for the update begins.
    AcceptingUser(QString acceptCaption, std::function<void()> onAnswer);
    bool Answered() const { return answered_; }

  private:
    void LookForTheQuestion();

    QString acceptCaption_;
    std::function<void()> onAnswer_;
    QTimer look_;
    bool answered_ = false;
};

}  // namespace bench
