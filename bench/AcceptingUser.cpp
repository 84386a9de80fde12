#include "bench/AcceptingUser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <utility>

namespace bench {

namespace {

constexpr int kLookEveryMs = 10;

}  // namespace

AcceptingUser::AcceptingUser(QString acceptCaption, std::function<void()> onAnswer)
    : acceptCaption_(std::move(acceptCaption)), onAnswer_(std::move(onAnswer)) {
    look_.setInterval(kLookEveryMs);
    QObject::connect(&look_, &QTimer::timeout, this, [this] { LookForTheQuestion(); });
    look_.start();
}

// Captions may carry a mnemonic's ampersand; the user reads the caption without it.
void AcceptingUser::LookForTheQuestion() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible())
        return;
    for (QAbstractButton* button : box->buttons()) {
        if (QString(button->text()).remove('&') != acceptCaption_)
            continue;
        look_.stop();
        answered_ = true;
        onAnswer_();
        button->click();
        return;
    }
}

}  // namespace bench
