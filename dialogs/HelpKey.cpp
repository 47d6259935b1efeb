#include "dialogs/HelpKey.h"

#include <QKeyEvent>
#include <QWidget>

namespace horavia {

HelpKey::HelpKey(QWidget* dialog, std::function<void()> openHelp)
    : QObject(dialog), dialog_(dialog), openHelp_(std::move(openHelp)) {
    dialog->installEventFilter(this);
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyRelease) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // Windows of their own (the file dialog, a list's pop-up) are not the dialog's controls.
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (key->key() != Qt::Key_F1 || widget == nullptr || widget->window() != dialog_) {
        return false;
    }
    // Taken here, the key goes no further, so the topic opens once however many widgets it would pass.
    event->accept();
    if (!key->isAutoRepeat() && openHelp_) {
        openHelp_();
    }
    return true;
}

} // namespace horavia
